% qvx_device: the device among DEVICES that ID (a device ID, or a device name) names, for videoinput.
function device = qvx_device(devices, id, adaptor)
    if ischar(id) && (isrow(id) || isempty(id))
        found = find(strcmp({devices.Name}, id), 1);
    elseif isnumeric(id) && isscalar(id) && isreal(id)
        if id < 0
            error('imaq:videoinput:negativeID', 'DEVICEID must be a positive integer.');
        end
        found = find([devices.ID] == id, 1);
    else
        error('imaq:videoinput:invalidID', 'DEVICEID must be a device ID or a device name.');
    end
    if isempty(found)
        error('imaq:videoinput:invalidID', ['Invalid DEVICEID specified. Type ''imaqhwinfo(''%s'')'' ' ...
                                            'for a list of available devices.'], adaptor);
    end
    device = devices(found);
end
