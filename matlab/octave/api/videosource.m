% videosource: the selected source of a video input, holding the device's own properties.
%
%   src = getselectedsource(vid);
%   src.Brightness = 120;  src.('Brightness');  get(src, 'Brightness');  set(src, 'Brightness', 120);
%   get(src)               lists "General Settings:" and then "Device Specific Properties:"
%   set(src), set(src, 'Name'), propinfo(src), propinfo(src, 'Name')
%
% A video input has one source object (getselectedsource gives the same one each time); it reads and
% writes the properties of the source the video input has selected. It becomes invalid with its video
% input. Values are checked before they reach the adaptor: enumeration texts exactly as listed, numbers
% within [min max], whole numbers for integer properties, read-only modes (see qvx_checkvalue).
classdef videosource < qvxobject

    properties (Access = private)
        Id = 0;          % the gateway handle of the video input (not the object itself: no cycle)
        DeviceDescs = [];
        Tag = '';
        UserData = [];
    end

    methods
        function obj = videosource(parent)
            if nargin < 1 || ~isa(parent, 'videoinput')
                error('imaq:videosource:invalidArguments', 'Use GETSELECTEDSOURCE to get a video source object.');
            end
            obj.Id = qvxHandle(parent);
            obj.DeviceDescs = qvxDeviceDescs(parent);
        end

        function tf = isvalid(obj)
            tf = qvximaq_gateway('valid', obj.Id);
        end

        function disp(obj)
            if ~isvalid(obj)
                fprintf('Invalid Image Acquisition object.\n');
                return;
            end
            get(obj);
        end
    end

    methods (Hidden)
        function serial = qvxSerial(obj)
            serial = obj.Id;
        end

        function descs = qvxPropertyList(obj)
            name = qvximaq_gateway('source', obj.Id);
            general = [ ...
                qvx_property('Parent', 'any', 'none', [], [], 'always', 0), ...
                qvx_property('Selected', 'string', 'enum', {'off', 'on'}, 'on', 'always', 0), ...
                qvx_property('SourceName', 'string', 'none', [], name, 'always', 0), ...
                qvx_property('Tag', 'string', 'none', [], '', 'never', 0), ...
                qvx_property('Type', 'string', 'none', [], 'videosource', 'always', 0), ...
                qvx_property('UserData', 'any', 'none', [], [], 'never', 0)];
            descs = [general, obj.DeviceDescs];
        end

        function value = qvxRead(obj, name)
            switch name
                case 'Parent'
                    value = qvx_objects('find', obj.Id);
                case 'Selected'
                    value = 'on';
                case 'SourceName'
                    value = qvximaq_gateway('source', obj.Id);
                case 'Tag'
                    value = obj.Tag;
                case 'Type'
                    value = 'videosource';
                case 'UserData'
                    value = obj.UserData;
                otherwise
                    value = qvximaq_gateway('get', obj.Id, name);
            end
        end

        function qvxWrite(obj, name, value)
            switch name
                case 'Tag'
                    obj.Tag = value;
                case 'UserData'
                    obj.UserData = value;
                otherwise
                    if isnumeric(value) || islogical(value)
                        value = double(value);
                    end
                    qvximaq_gateway('set', obj.Id, name, value);
            end
        end
    end

    methods (Hidden)
        function qvxCheckValid(obj)
            if ~isvalid(obj)
                error('imaq:videosource:invalidObject', ['Image acquisition object OBJ is an invalid object: ' ...
                                                         'its video input was deleted.']);
            end
        end
    end
end

