% qvxkit_cameras: what the acceptance kit must find on the cameras of a camera description (JSON file): each device's property names, and which devices deliver unpaced.
%
%   cameras = qvxkit_cameras(file)
%
% cameras.Devices is a struct array with DeviceName and Properties (the device-specific property
% names the adaptor publishes for the device, in the order it publishes them); cameras.Unpaced names
% the devices that deliver frames as fast as their buffers free up, not at their frame rate.
%
% The names follow from the description as the adaptor forms them: "SerialNo" for a device with a
% serial number; "FrameRate" where the library lists rates and the first descriptor is no region
% format; "InputChannel" for a device with input channels; then every element of the camera's items
% that offers a kind the adaptor publishes, named by its identifier (value element: the item's name;
% auto element: the item's name and "Auto"; elements named for themselves: their own name; any other:
% item and element name), blanks and hyphens removed. The partial-scan offset item and the passed-over
% item publish nothing. A range or absolute value publishes only when its maximum is above its
% minimum, a map of strings only when its default is one of its texts.
function cameras = qvxkit_cameras(file)
    description = jsondecode(fileread(file));
    devices = listOf(description.devices);
    cameras.Devices = struct('DeviceName', {}, 'Properties', {});
    cameras.Unpaced = {};
    for d = 1:numel(devices)
        device = devices{d};
        cameras.Devices(end + 1) = struct('DeviceName', device.name, 'Properties', {propertyNames(device)});
        if isfield(device, 'fast') && isequal(device.fast, true)
            cameras.Unpaced{end + 1} = device.name;
        end
    end
end

function names = propertyNames(device)
    names = {};
    if isfield(device, 'serial') && ~isempty(device.serial)
        names{end + 1} = 'SerialNo';
    end
    if has(device, 'frameRateList', true) && ~firstDescriptorIsRegion(device)
        names{end + 1} = 'FrameRate';
    end
    if isfield(device, 'inputChannels') && ~isempty(device.inputChannels)
        names{end + 1} = 'InputChannel';
    end
    if isfield(device, 'vcd')
        items = listOf(device.vcd);
        for i = 1:numel(items)
            item = items{i};
            if isfield(item, 'id') && any(strcmp(item.id, {'passedOver', 'partialScanOffset'}))
                continue;
            end
            elements = listOf(item.elements);
            for e = 1:numel(elements)
                if publishes(elements{e})
                    names{end + 1} = elementName(strrep(item.name, ' ', ''), elements{e}); %#ok<AGROW>
                end
            end
        end
    end
    names = unique(names, 'stable');
end

% On the norm path the current norm lists no descriptors, so only the descriptor path has regions.
function yes = firstDescriptorIsRegion(device)
    yes = false;
    if ~isfield(device, 'norms') && isfield(device, 'descriptors')
        descriptors = listOf(device.descriptors);
        yes = ~isempty(descriptors) && has(descriptors{1}, 'roi', false);
    end
end

function yes = publishes(element)
    % "switch" is a keyword: jsondecode names that field xSwitch.
    yes = isfield(element, 'button') || isfield(element, 'xSwitch') || ...
          (isfield(element, 'range') && element.range.max > element.range.min) || ...
          (isfield(element, 'absolute') && element.absolute.max > element.absolute.min);
    if isfield(element, 'mapStrings')
        map = element.mapStrings;
        position = map.min;
        if isfield(map, 'default')
            position = map.default - map.min;
        end
        yes = yes || (position >= 0 && position < numel(listOf(map.strings)));
    end
end

function name = elementName(itemName, element)
    id = '';
    if isfield(element, 'id')
        id = element.id;
    end
    own = strrep(element.name, ' ', '');
    switch id
        case 'value'
            name = itemName;
        case 'auto'
            name = [itemName 'Auto'];
        case {'selfNamedA', 'selfNamedB', 'selfNamedC'}
            name = own;
        otherwise
            name = [itemName own];
    end
    name = strrep(name, '-', '');
end

function value = has(s, field, default)
    value = default;
    if isfield(s, field)
        value = isequal(s.(field), true);
    end
end

% jsondecode gives a list of objects as a struct array when their fields agree, as a cell otherwise.
function list = listOf(value)
    if iscell(value)
        list = value(:)';
    elseif isstruct(value)
        list = num2cell(value(:)');
    else
        list = {};
    end
end
