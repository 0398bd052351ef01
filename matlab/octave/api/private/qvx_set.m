% qvx_set: set(obj, 'Name', value, ...), set(obj, struct), set(obj) and set(obj, 'Name') for
% videoinput and videosource objects.
%
% set(obj) gives a struct with one field per property that can be set, holding the 1xN cell of its
% allowed texts (the same cell as propinfo's ConstraintValue) or {} when it has no fixed list;
% set(obj, 'Name') gives that cell. Objects provide qvxPropertyList(obj), qvxRunning(obj) and
% qvxWrite(obj, name, value); every value is checked by qvx_checkvalue first.
function out = qvx_set(obj, wantOutput, args)
    descs = qvxPropertyList(obj);
    out = [];
    if isempty(args)
        settable = descs(~strcmp({descs.ReadOnly}, 'always'));
        if wantOutput
            out = struct();
            for k = 1:numel(settable)
                out.(settable(k).Name) = choices(settable(k));
            end
        else
            for k = 1:numel(settable)
                fprintf('    %s%s\n', settable(k).Name, choiceLine(settable(k), ': '));
            end
        end
        return;
    end
    if numel(args) == 1 && isstruct(args{1})
        values = args{1};
        names = fieldnames(values);
        pairs = cell(1, 2 * numel(names));
        for k = 1:numel(names)
            pairs{2 * k - 1} = names{k};
            pairs{2 * k} = values.(names{k});
        end
        args = pairs;
    elseif numel(args) == 1
        desc = qvx_finddesc(descs, args{1}, class(obj), 'imaq:set:invalidProperty');
        if wantOutput
            out = choices(desc);
        elseif strcmp(desc.Constraint, 'enum')
            fprintf('%s\n', choiceLine(desc, ''));
        else
            fprintf('The ''%s'' property does not have a fixed set of property values.\n', desc.Name);
        end
        return;
    end
    if mod(numel(args), 2) ~= 0
        error('imaq:set:invalidArguments', 'SET takes property names and values in pairs.');
    end
    for k = 1:2:numel(args)
        desc = qvx_finddesc(descs, args{k}, class(obj), 'imaq:set:invalidProperty');
        qvx_checkvalue(desc, args{k + 1}, qvxRunning(obj));
        qvxWrite(obj, desc.Name, args{k + 1});
    end
end

function values = choices(desc)
    if strcmp(desc.Constraint, 'enum')
        values = desc.ConstraintValue;
    else
        values = {};
    end
end

% "[ {default} | other | ... ]" for enumerations, as the toolbox lists them; nothing otherwise.
function line = choiceLine(desc, prefix)
    line = '';
    if ~strcmp(desc.Constraint, 'enum')
        return;
    end
    values = desc.ConstraintValue;
    marked = strcmp(values, desc.DefaultValue);
    values(marked) = cellfun(@(v) ['{' v '}'], values(marked), 'UniformOutput', false);
    line = [prefix '[ ' strjoin(values, ' | ') ' ]'];
end
