% qvx_finddesc: the description of property NAME among DESCS, or an error naming the object's class.
%
% Property names are matched exactly, case included: the stricter reading of the toolbox's documents,
% which show every property only in its own spelling.
function desc = qvx_finddesc(descs, name, objectClass, identifier)
    if ~ischar(name) || ~(isrow(name) || isempty(name))
        error(identifier, 'Property names must be character vectors.');
    end
    found = find(strcmp({descs.Name}, name), 1);
    if isempty(found)
        error(identifier, 'There is no ''%s'' property of %s objects.', name, objectClass);
    end
    desc = descs(found);
end
