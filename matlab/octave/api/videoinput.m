% videoinput: a video input object of the Image Acquisition Toolbox, kept by the QVXImaq gateway.
%
%   vid = videoinput(ADAPTOR)                    the first device, its default format
%   vid = videoinput(ADAPTOR, DEVICE)            DEVICE: a device ID or a device name
%   vid = videoinput(ADAPTOR, DEVICE, FORMAT, 'Name', value, ...)
%
% Properties are reached as vid.Name, get(vid, 'Name') and set(vid, 'Name', value); propinfo(vid)
% describes them. The object lives until delete(vid) or imaqreset, also when its variable is cleared
% (imaqfind finds it); afterwards isvalid(vid) is false and every other use is an error.
%
% Choices of this layer where the toolbox's documents leave room:
% - Name is 'FORMAT-ADAPTOR-ID', e.g. 'Y800 (2448x2048)-qvximaq-2'.
% - NumberOfBands is what the adaptor reports (getNumberOfBands), while each frame's data has the
%   bands of its frame type: 1 for monochrome, 3 for colour. ReturnedColorSpace follows the frame type
%   ('grayscale' or 'rgb') and is read-only here: this layer converts no colour spaces.
% - Triggers are immediate: logging starts with START, so Logging equals Running, and the time stamps
%   of GETDATA count from START.
% - FramesPerTrigger or TriggerRepeat Inf acquires until STOP. Finite, they are whole numbers up to
%   2147483647 (the adaptor kit counts in 32 bits); GETDATA(OBJ) then needs N.
% - A region the camera cannot take is set as the adaptor fits it, with a warning naming the region
%   delivered.
% - ROIPosition [x y width height] takes whole numbers with x, y >= 0, width, height >= 1, and must lie
%   within VideoResolution (an error otherwise, the stricter reading); the adaptor then fits it to the
%   camera, and reading it back gives the fitted region.
% - GETSNAPSHOT while running copies the next frame the acquisition logs; FramesAcquired and the logged
%   frames stay as they are. When stopped, it takes a one-frame acquisition of its own.
classdef videoinput < qvxobject

    properties (Access = private)
        Id = 0;              % the gateway's handle; 0 once deleted
        Serial = 0;          % the gateway's handle for good: which object this is (==, ~=)
        Device = [];         % the gateway's description: sizes, frame type, bands, sources, driver
        DeviceDescs = [];    % the device's own properties (qvx_devicedescs)
        Settings = [];       % what the toolbox keeps itself: Name, Tag, UserData, Timeout, trigger counts
        SourceObject = [];   % the videosource, made on first use
    end

    methods
        function obj = videoinput(varargin)
            if nargin < 1
                error('imaq:videoinput:invalidArguments', 'VIDEOINPUT needs an ADAPTOR name.');
            end
            adaptor = qvx_adaptorname(varargin{1}, 'imaq:videoinput:invalidAdaptor');
            devices = qvximaq_gateway('devices', adaptor);
            if isempty(devices)
                error('imaq:videoinput:noDevices', 'No devices were detected for the ''%s'' adaptor.', adaptor);
            end
            if nargin < 2
                device = devices(1);
            else
                device = qvx_device(devices, varargin{2}, adaptor);
            end
            if nargin < 3
                format = device.DefaultFormat;
            else
                format = varargin{3};
            end
            if ~ischar(format) || ~any(strcmp(device.Formats, format))
                error('imaq:videoinput:noFormat', ['The FORMAT specified is not supported by this device. ' ...
                                                   'See IMAQHWINFO(ADAPTORNAME).']);
            end
            if mod(nargin - 3, 2) ~= 0 && nargin > 3
                error('imaq:videoinput:invalidArguments', 'Properties and values must come in pairs.');
            end
            obj.Id = qvximaq_gateway('create', adaptor, device.ID, format);
            obj.Serial = obj.Id;
            qvx_objects('add', obj);
            try
                obj.Device = qvximaq_gateway('describe', obj.Id);
                obj.DeviceDescs = qvx_devicedescs(obj.Device.Properties);
                obj.Settings = struct('Name', sprintf('%s-%s-%d', format, adaptor, device.ID), 'Tag', '', ...
                                      'UserData', [], 'Timeout', 10, 'FramesPerTrigger', 10, 'TriggerRepeat', 0, ...
                                      'FrameGrabInterval', 1, 'TriggerFrameDelay', 0);
                if nargin > 3
                    set(obj, varargin{4:end});
                end
            catch err
                % A refused setting leaves no object behind.
                delete(obj);
                rethrow(err);
            end
        end

        function delete(obj)
            try
                id = obj.Id;
            catch
                % Octave is ending and has taken the class apart already: the gateway's exit handler
                % releases what is left (imaqreset, registered with atexit, normally ran before).
                return;
            end
            if id == 0
                return;
            end
            obj.Id = 0;
            qvx_objects('remove', id);
            qvximaq_gateway('delete', id);
        end

        function tf = isvalid(obj)
            tf = obj.Id ~= 0 && qvximaq_gateway('valid', obj.Id);
        end

        function src = getselectedsource(obj)
            qvxCheckValid(obj);
            if isempty(obj.SourceObject)
                obj.SourceObject = videosource(obj);
            end
            src = obj.SourceObject;
        end

        % [frame, metadata] = getsnapshot(obj): metadata holds the frame's AbsTime (a clock vector).
        function [frame, metadata] = getsnapshot(obj)
            qvxCheckValid(obj);
            [frame, metadata] = qvximaq_gateway('snapshot', obj.Id, obj.Settings.Timeout);
        end

        function start(obj)
            qvxCheckValid(obj);
            qvximaq_gateway('start', obj.Id, obj.Settings.FramesPerTrigger, obj.Settings.TriggerRepeat);
        end

        function stop(obj)
            qvxCheckValid(obj);
            qvximaq_gateway('stop', obj.Id);
        end

        function tf = isrunning(obj)
            qvxCheckValid(obj);
            status = qvximaq_gateway('status', obj.Id);
            tf = status.Running;
        end

        function tf = islogging(obj)
            tf = isrunning(obj); % immediate trigger: logging while running
        end

        % wait(obj[, waittime[, state]]): until the object stops ('running', the default) or stops
        % logging ('logging': the same with immediate triggers); waittime defaults to Timeout.
        function wait(obj, waittime, state)
            qvxCheckValid(obj);
            if nargin < 2 || isempty(waittime)
                waittime = obj.Settings.Timeout;
            end
            if nargin >= 3 && ~any(strcmp(state, {'running', 'logging'}))
                error('imaq:wait:invalidState', 'STATE must be ''running'' or ''logging''.');
            end
            if ~isnumeric(waittime) || ~isscalar(waittime) || ~(waittime >= 0)
                error('imaq:wait:invalidWaitTime', 'WAITTIME must be a number of seconds of 0 or more.');
            end
            qvximaq_gateway('wait', obj.Id, double(waittime));
        end

        % [data, time, metadata] = getdata(obj[, n[, type[, format]]]): n frames (FramesPerTrigger by
        % default) as H x W x B x n, B being the frame's bands, their times in seconds since START (n x 1)
        % and their metadata (n x 1 struct: AbsTime, FrameNumber, RelativeFrame, TriggerIndex).
        % type 'native' (default), 'uint8', 'uint16', 'uint32', 'single' or 'double' converts by class
        % (integers saturate); format 'numeric' (default) or 'cell' (n x 1 cell of H x W x B frames).
        % The frames leave the buffer only once the whole result is made: when it cannot be, none is lost.
        function [data, time, metadata] = getdata(obj, n, type, format)
            qvxCheckValid(obj);
            if nargin < 2 || isempty(n)
                n = obj.Settings.FramesPerTrigger;
                if isinf(n)
                    error('imaq:getdata:invalidN', ['FramesPerTrigger is Inf, so GETDATA(OBJ) has no number ' ...
                                                    'of frames to wait for: give one with GETDATA(OBJ, N).']);
                end
            end
            if nargin < 3
                type = 'native';
            end
            if nargin < 4
                format = 'numeric';
            end
            if ~isnumeric(n) || ~isscalar(n) || ~isreal(n)
                error('imaq:getdata:invalidN', 'N must be a whole number from 1 to 2147483647.');
            end
            if ~ischar(type) || ~any(strcmp(type, {'native', 'uint8', 'uint16', 'uint32', 'single', 'double'}))
                error('imaq:getdata:invalidType', ['TYPE must be ''native'', ''uint8'', ''uint16'', ' ...
                                                   '''uint32'', ''single'' or ''double''.']);
            end
            if ~ischar(format) || ~any(strcmp(format, {'numeric', 'cell'}))
                error('imaq:getdata:invalidFormat', 'FORMAT must be ''numeric'' or ''cell''.');
            end
            [data, time, metadata] = qvximaq_gateway('getdata', obj.Id, double(n), obj.Settings.Timeout, ...
                                                     type, format);
        end

        % flushdata(obj[, mode]): 'all' (the default) drops every frame waiting for GETDATA;
        % 'triggers' drops the oldest trigger's frames (FramesPerTrigger of them, or those there are).
        function flushdata(obj, mode)
            qvxCheckValid(obj);
            if nargin < 2
                mode = 'all';
            end
            switch mode
                case 'all'
                    qvximaq_gateway('flush', obj.Id);
                case 'triggers'
                    status = qvximaq_gateway('status', obj.Id);
                    n = min(obj.Settings.FramesPerTrigger, status.FramesAvailable);
                    if n > 0
                        qvximaq_gateway('getdata', obj.Id, n, 0, 'native', 'numeric');
                    end
                otherwise
                    error('imaq:flushdata:invalidMode', 'MODE must be ''all'' or ''triggers''.');
            end
        end

        function disp(obj)
            if ~isvalid(obj)
                fprintf('Invalid Image Acquisition object.\n');
                fprintf('   This object is not associated with any hardware and\n');
                fprintf('   should be removed from your workspace using CLEAR.\n');
                return;
            end
            status = qvximaq_gateway('status', obj.Id);
            if status.Running
                state = 'Logging data.';
            else
                state = 'Waiting for START.';
            end
            fprintf('Summary of Video Input Object Using ''%s''.\n\n', obj.Device.DeviceName);
            fprintf('   Acquisition Source(s):  %s is available.\n\n', strjoin(obj.Device.Sources, ', '));
            fprintf('  Acquisition Parameters:  ''%s'' is the current selected source.\n', ...
                    qvximaq_gateway('source', obj.Id));
            fprintf('                           %g frames per trigger using the selected source.\n', ...
                    obj.Settings.FramesPerTrigger);
            fprintf('                           ''%s'' video data to be logged upon START.\n\n', ...
                    obj.Device.VideoFormat);
            fprintf('      Trigger Parameters:  %g ''immediate'' trigger(s) on START.\n\n', ...
                    obj.Settings.TriggerRepeat + 1);
            fprintf('                  Status:  %s\n', state);
            fprintf('                           %d frames acquired since starting.\n', status.FramesAcquired);
            fprintf('                           %d frames available for GETDATA.\n', status.FramesAvailable);
        end
    end

    methods (Hidden)
        function qvxCheckValid(obj)
            if obj.Id == 0 || ~qvximaq_gateway('valid', obj.Id)
                error('imaq:videoinput:invalidObject', 'Image acquisition object OBJ is an invalid object.');
            end
        end

        % For videosource, imaqhwinfo and the registry: the gateway handle, checked or not.
        function id = gatewayHandle(obj)
            id = obj.Id;
        end

        function serial = qvxSerial(obj)
            serial = obj.Serial;
        end

        function id = qvxHandle(obj)
            qvxCheckValid(obj);
            id = obj.Id;
        end

        function descs = qvxDeviceDescs(obj)
            descs = obj.DeviceDescs;
        end

        % imaqhwinfo(vid): the device and driver as the adaptor object describes them.
        function info = qvxDriverInfo(obj)
            qvxCheckValid(obj);
            d = obj.Device;
            info = struct('AdaptorName', d.AdaptorName, 'DeviceName', d.DeviceName, 'MaxHeight', d.MaxHeight, ...
                          'MaxWidth', d.MaxWidth, 'NativeDataType', d.NativeDataType, ...
                          'TotalSources', numel(d.Sources), 'VendorDriverDescription', d.DriverDescription, ...
                          'VendorDriverVersion', d.DriverVersion);
        end

        function descs = qvxPropertyList(obj)
            d = obj.Device;
            s = obj.Settings;
            if d.FrameBands == 1
                space = 'grayscale';
            else
                space = 'rgb';
            end
            onOff = {'off', 'on'};
            descs = [ ...
                qvx_property('FramesAcquired', 'double', 'none', [], 0, 'always', 0), ...
                qvx_property('FramesAvailable', 'double', 'none', [], 0, 'always', 0), ...
                qvx_property('FrameGrabInterval', 'double', 'bounded', [1 intmax('int32')], 1, 'whileRunning', 0, ...
                             'Integer', true), ...
                qvx_property('FramesPerTrigger', 'double', 'bounded', [1 Inf], 10, 'whileRunning', 0, ...
                             'Integer', true), ...
                qvx_property('Logging', 'string', 'enum', onOff, 'off', 'always', 0), ...
                qvx_property('Name', 'string', 'none', [], s.Name, 'never', 0), ...
                qvx_property('NumberOfBands', 'double', 'none', [], d.NumberOfBands, 'always', 0), ...
                qvx_property('ROIPosition', 'double', 'none', [], [0 0 d.MaxWidth d.MaxHeight], ...
                             'whileRunning', 0, 'Scalar', false), ...
                qvx_property('ReturnedColorSpace', 'string', 'enum', {space}, space, 'always', 0), ...
                qvx_property('Running', 'string', 'enum', onOff, 'off', 'always', 0), ...
                qvx_property('SelectedSourceName', 'string', 'enum', d.Sources, d.Sources{1}, 'whileRunning', 0), ...
                qvx_property('Source', 'any', 'none', [], [], 'always', 0), ...
                qvx_property('Tag', 'string', 'none', [], '', 'never', 0), ...
                qvx_property('Timeout', 'double', 'bounded', [0 Inf], 10, 'whileRunning', 0), ...
                qvx_property('TriggerFrameDelay', 'double', 'bounded', [0 intmax('int32')], 0, 'whileRunning', 0, ...
                             'Integer', true), ...
                qvx_property('TriggerRepeat', 'double', 'bounded', [0 Inf], 0, 'whileRunning', 0, 'Integer', true), ...
                qvx_property('Type', 'string', 'none', [], 'videoinput', 'always', 0), ...
                qvx_property('UserData', 'any', 'none', [], [], 'never', 0), ...
                qvx_property('VideoFormat', 'string', 'none', [], d.VideoFormat, 'always', 0), ...
                qvx_property('VideoResolution', 'double', 'none', [], [d.MaxWidth d.MaxHeight], 'always', 0, ...
                             'Scalar', false)];
        end

        function value = qvxRead(obj, name)
            d = obj.Device;
            switch name
                case {'FramesAcquired', 'FramesAvailable'}
                    status = qvximaq_gateway('status', obj.Id);
                    value = status.(name);
                case {'Running', 'Logging'}
                    if qvxRunning(obj)
                        value = 'on';
                    else
                        value = 'off';
                    end
                case {'Name', 'Tag', 'UserData', 'Timeout', 'FramesPerTrigger', 'TriggerRepeat', ...
                      'FrameGrabInterval', 'TriggerFrameDelay'}
                    value = obj.Settings.(name);
                case 'NumberOfBands'
                    value = d.NumberOfBands;
                case 'ROIPosition'
                    value = qvximaq_gateway('roi', obj.Id);
                case 'ReturnedColorSpace'
                    if d.FrameBands == 1
                        value = 'grayscale';
                    else
                        value = 'rgb';
                    end
                case 'SelectedSourceName'
                    value = qvximaq_gateway('source', obj.Id);
                case 'Source'
                    value = getselectedsource(obj);
                case 'Type'
                    value = 'videoinput';
                case 'VideoFormat'
                    value = d.VideoFormat;
                case 'VideoResolution'
                    value = [d.MaxWidth d.MaxHeight];
            end
        end

        function qvxWrite(obj, name, value)
            switch name
                case {'FramesPerTrigger', 'TriggerRepeat'}
                    settings = obj.Settings;
                    settings.(name) = double(value);
                    qvximaq_gateway('configure', obj.Id, settings.FramesPerTrigger, settings.TriggerRepeat);
                    obj.Settings = settings;
                case {'FrameGrabInterval', 'TriggerFrameDelay'}
                    settings = obj.Settings;
                    settings.(name) = double(value);
                    qvximaq_gateway('spacing', obj.Id, settings.FrameGrabInterval, settings.TriggerFrameDelay);
                    obj.Settings = settings;
                case 'Timeout'
                    obj.Settings.Timeout = double(value);
                case {'Name', 'Tag', 'UserData'}
                    obj.Settings.(name) = value;
                case 'ROIPosition'
                    region = checkedRegion(obj, value);
                    qvximaq_gateway('setRoi', obj.Id, region);
                    regionTaken(obj, region);
                case 'SelectedSourceName'
                    qvximaq_gateway('setSource', obj.Id, value);
            end
        end
    end

    methods (Access = private)
        % The adaptor fits a region to what the camera can deliver, which may be the whole image; the
        % user hears what the frames will be.
        function regionTaken(obj, asked)
            taken = qvximaq_gateway('roi', obj.Id);
            if ~isequal(taken, asked)
                warning('imaq:videoinput:roiAdjusted', ['ROIPosition [%d %d %d %d] cannot be taken by this ' ...
                        'camera: it delivers [%d %d %d %d] instead.'], asked, taken);
            end
        end

        function region = checkedRegion(obj, region)
            if ~isnumeric(region) || numel(region) ~= 4 || ~isreal(region) || any(~isfinite(region(:)))
                error('imaq:set:invalidValue', 'ROIPosition takes four finite numbers: [x y width height].');
            end
            region = double(region(:)');
            if any(region ~= fix(region))
                error('imaq:set:notInteger', 'ROIPosition takes whole numbers.');
            end
            full = [obj.Device.MaxWidth obj.Device.MaxHeight];
            if any(region(1:2) < 0) || any(region(3:4) < 1) || any(region(1:2) + region(3:4) > full)
                error('imaq:set:outOfBounds', ['ROIPosition [%g %g %g %g] must lie within the image of ' ...
                                               '%d x %d: offsets 0 or more, sizes 1 or more.'], region, full);
            end
        end
    end
end
