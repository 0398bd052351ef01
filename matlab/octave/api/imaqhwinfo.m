% imaqhwinfo: the installed adaptors, an adaptor's devices, or a video input's device and driver.
%
%   info = imaqhwinfo                  InstalledAdaptors, MATLABVersion, ToolboxName, ToolboxVersion
%   info = imaqhwinfo(ADAPTOR)         AdaptorDllName, AdaptorDllVersion, AdaptorName, DeviceIDs, DeviceInfo
%   value = imaqhwinfo(ADAPTOR, FIELD) one field of that; a cell of field names gives a 1xN cell
%   dev = imaqhwinfo(ADAPTOR, ID)      the DeviceInfo of that device; a vector of IDs gives 1xN structs
%   info = imaqhwinfo(VID[, FIELD])    AdaptorName, DeviceName, MaxHeight, MaxWidth, NativeDataType,
%                                      TotalSources, VendorDriverDescription, VendorDriverVersion
%
% An adaptor's devices are read once and kept until imaqreset. Versions are this layer's own:
% MATLABVersion is the running Octave's version, ToolboxVersion and AdaptorDllVersion that of the
% QVXImaq Octave layer. DefaultFormat is the format the adaptor flags as its default; an adaptor that
% flags none (ours does not) gets its first format, the one videoinput opens without a FORMAT.
% DeviceFileSupported is the double 1 or 0.
function info = imaqhwinfo(varargin)
    if nargin == 0
        info = struct('InstalledAdaptors', {qvximaq_gateway('adaptors')}, ...
                      'MATLABVersion', [version() ' (GNU Octave)'], ...
                      'ToolboxName', 'Image Acquisition Toolbox', ...
                      'ToolboxVersion', qvx_layerversion());
        return;
    end
    if nargin > 2
        error('imaq:imaqhwinfo:invalidArguments', 'IMAQHWINFO takes at most two arguments.');
    end
    if isa(varargin{1}, 'videoinput')
        info = qvxDriverInfo(varargin{1});
    else
        adaptor = qvx_adaptorname(varargin{1}, 'imaq:imaqhwinfo:invalidAdaptor');
        info = adaptorInfo(adaptor);
        if nargin == 2 && isnumeric(varargin{2})
            info = deviceInfo(info, varargin{2}, adaptor);
            return;
        end
    end
    if nargin == 2
        info = fields(info, varargin{2});
    end
end

function info = adaptorInfo(adaptor)
    devices = qvximaq_gateway('devices', adaptor);
    devinfo = struct('DefaultFormat', {}, 'DeviceFileSupported', {}, 'DeviceName', {}, 'DeviceID', {}, ...
                        'VideoInputConstructor', {}, 'VideoDeviceConstructor', {}, 'SupportedFormats', {});
    devinfo = reshape(devinfo, 1, 0);
    for k = 1:numel(devices)
        d = devices(k);
        devinfo(k).DefaultFormat = d.DefaultFormat;
        devinfo(k).DeviceFileSupported = d.DeviceFileSupported;
        devinfo(k).DeviceName = d.Name;
        devinfo(k).DeviceID = d.ID;
        devinfo(k).VideoInputConstructor = sprintf('videoinput(''%s'', %d)', adaptor, d.ID);
        devinfo(k).VideoDeviceConstructor = sprintf('imaq.VideoDevice(''%s'', %d)', adaptor, d.ID);
        devinfo(k).SupportedFormats = d.Formats;
    end
    info = struct('AdaptorDllName', qvximaq_gateway('adaptorPath', adaptor), ...
                  'AdaptorDllVersion', qvx_layerversion(), ...
                  'AdaptorName', adaptor, ...
                  'DeviceIDs', {reshape(num2cell([devices.ID]), 1, [])}, ...
                  'DeviceInfo', devinfo);
end

function devices = deviceInfo(info, ids, adaptor)
    if isempty(ids) || ~isreal(ids)
        error('imaq:imaqhwinfo:noDeviceID', 'Invalid DEVICEID specified.');
    end
    devices = info.DeviceInfo([]);
    for k = 1:numel(ids)
        found = find([info.DeviceInfo.DeviceID] == ids(k), 1);
        if isempty(found)
            error('imaq:imaqhwinfo:noDeviceID', ['Invalid DEVICEID specified: no device %g. Type ' ...
                                                 '''imaqhwinfo(''%s'')'' for a list of available devices.'], ...
                  ids(k), adaptor);
        end
        devices(k) = info.DeviceInfo(found);
    end
end

function value = fields(info, names)
    if iscell(names)
        value = cell(1, numel(names));
        for k = 1:numel(names)
            value{k} = field(info, names{k});
        end
    else
        value = field(info, names);
    end
end

function value = field(info, name)
    if ~ischar(name) || ~isfield(info, name)
        error('imaq:imaqhwinfo:invalidField', 'Invalid FIELD specified. Valid fields: %s.', ...
              strjoin(fieldnames(info)', ', '));
    end
    value = info.(name);
end
