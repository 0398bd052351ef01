% qvx_propinfo: propinfo(obj), propinfo(obj, 'Name') and propinfo(obj, {names}).
%
% Each answer is a struct with the fields Type, Constraint, ConstraintValue, DefaultValue, ReadOnly and
% DeviceSpecific, in that order. DeviceSpecific is the double 1 or 0: the toolbox shows it as 1/0, and
% whether it is logical is not documented, so a caller must compare it as a number (the stricter
% reading: comparing it with 'yes' fails).
function out = qvx_propinfo(obj, args)
    descs = qvxPropertyList(obj);
    if isempty(args)
        out = struct();
        for k = 1:numel(descs)
            out.(descs(k).Name) = info(descs(k));
        end
    elseif numel(args) == 1 && iscell(args{1})
        names = args{1};
        out = cell(1, numel(names));
        for k = 1:numel(names)
            out{k} = info(qvx_finddesc(descs, names{k}, class(obj), 'imaq:propinfo:invalidProperty'));
        end
    elseif numel(args) == 1
        out = info(qvx_finddesc(descs, args{1}, class(obj), 'imaq:propinfo:invalidProperty'));
    else
        error('imaq:propinfo:invalidArguments', 'PROPINFO takes an object and one property name or a cell of names.');
    end
end

function s = info(desc)
    s = struct('Type', desc.Type, 'Constraint', desc.Constraint, 'ConstraintValue', {desc.ConstraintValue}, ...
               'DefaultValue', {desc.DefaultValue}, 'ReadOnly', desc.ReadOnly, ...
               'DeviceSpecific', double(desc.DeviceSpecific));
end
