% qvx_get: get(obj), get(obj, 'Name') and get(obj, {names}) for videoinput and videosource objects.
%
% Without an output and without names, the properties are listed: general ones first, then those of the
% device. Objects provide qvxPropertyList(obj) and qvxRead(obj, name).
function out = qvx_get(obj, wantOutput, args)
    descs = qvxPropertyList(obj);
    out = [];
    if isempty(args)
        if wantOutput
            out = struct();
            for k = 1:numel(descs)
                out.(descs(k).Name) = qvxRead(obj, descs(k).Name);
            end
        else
            qvx_listing(obj, descs);
        end
        return;
    end
    if numel(args) > 1
        error('imaq:get:invalidArguments', 'GET takes an object and one property name or a cell of names.');
    end
    names = args{1};
    if iscell(names)
        out = cell(1, numel(names));
        for k = 1:numel(names)
            desc = qvx_finddesc(descs, names{k}, class(obj), 'imaq:get:invalidProperty');
            out{k} = qvxRead(obj, desc.Name);
        end
    else
        desc = qvx_finddesc(descs, names, class(obj), 'imaq:get:invalidProperty');
        out = qvxRead(obj, desc.Name);
    end
end

function qvx_listing(obj, descs)
    general = descs([descs.DeviceSpecific] == 0);
    device = descs([descs.DeviceSpecific] == 1);
    fprintf('  General Settings:\n');
    for k = 1:numel(general)
        fprintf('    %s = %s\n', general(k).Name, qvx_showvalue(qvxRead(obj, general(k).Name)));
    end
    if ~isempty(device)
        fprintf('\n  Device Specific Properties:\n');
        for k = 1:numel(device)
            fprintf('    %s = %s\n', device(k).Name, qvx_showvalue(qvxRead(obj, device(k).Name)));
        end
    end
    fprintf('\n');
end
