% qvximaq_example: a short tour of the QVXImaq adaptor with the first camera it finds.
%
% Register the adaptor once (imaqregister('C:\qvximaq\QVXImaq.dll'); imaqreset;), then run this
% script. It lists the cameras and their formats, shows the first camera's properties, takes a
% snapshot, acquires ten frames with their time stamps and, on a camera with hardware regions of
% interest, takes a snapshot of a region (other cameras deliver whole frames).

info = imaqhwinfo('qvximaq');
if isempty(info.DeviceIDs)
    error('qvximaq_example:noCamera', 'The adaptor qvximaq finds no camera.');
end
for d = 1:numel(info.DeviceInfo)
    device = info.DeviceInfo(d);
    fprintf('%d: %s\n', device.DeviceID, device.DeviceName);
    fprintf('     %s\n', device.SupportedFormats{:});
end

device = info.DeviceInfo(1);
formatName = device.SupportedFormats{1};
vid = videoinput('qvximaq', device.DeviceID, formatName);
src = getselectedsource(vid);
fprintf('\n%s, %s: %d x %d, %d bands\n', device.DeviceName, formatName, vid.VideoResolution, vid.NumberOfBands);
get(src);   % the source's properties, the camera's own read from the camera

frame = getsnapshot(vid);
fprintf('snapshot: %s of class %s\n', mat2str(size(frame)), class(frame));
figure('Name', [device.DeviceName ' ' formatName]);
imagesc(frame);   % colour frames show as they are, monochrome ones in grey
axis image off;
colormap(gray(256));

vid.FramesPerTrigger = 10;
start(vid);
wait(vid, 30);
[frames, times] = getdata(vid, 10);
fprintf('10 frames: %s, %.2f frames per second by their time stamps\n', mat2str(size(frames)), ...
        (numel(times) - 1) / (times(end) - times(1)));

% Cameras with hardware regions deliver the region itself, fitted to their step sizes; the others
% deliver whole frames.
whole = vid.VideoResolution;
vid.ROIPosition = [floor(whole / 4), floor(whole / 2)];
region = getsnapshot(vid);
fprintf('region %s: snapshot %s\n', mat2str(vid.ROIPosition), mat2str(size(region)));
vid.ROIPosition = [0 0 whole];
delete(vid);
clear vid src;
