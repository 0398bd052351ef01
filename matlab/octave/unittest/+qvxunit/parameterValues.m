% parameterValues: the values of one TestParameter property and the name each has in a test's name.
%
% A scalar struct names its values by its field names. A cell names each value after the value:
% char row text names itself, a logical scalar is true or false, a numeric scalar is class_value
% (int16_1), a handle to a named function is @name, any other function handle is function_handle,
% and anything else is its size and class (1x4_single, 3x3_double). Those are the names MATLAB's
% documentation shows; MATLAB's naming of text, and of values with equal names, is not documented:
% here repeated names get "_" and their position appended, so that every test name is distinct.
function [values, names] = parameterValues(property, value)
    if isstruct(value) && isscalar(value)
        names = fieldnames(value)';
        values = struct2cell(value)';
    elseif iscell(value) && ~isempty(value)
        values = value(:)';
        names = cellfun(@nameOf, values, 'UniformOutput', false);
    else
        error('qvxunit:badParameter', ['The TestParameter property %s must hold a non-empty cell or a ' ...
              'scalar struct, found %s.'], property, qvxunit.valueText(value));
    end
    for k = 1:numel(names)
        if sum(strcmp(names, names{k})) > 1
            same = find(strcmp(names, names{k}));
            for j = same
                names{j} = sprintf('%s_%d', names{j}, j);
            end
        end
    end
end

function name = nameOf(value)
    dims = sprintf('%dx', size(value));
    dims = dims(1:end - 1);
    if ischar(value) && isrow(value)
        name = value;
    elseif islogical(value) && isscalar(value)
        name = mat2str(value);
    elseif isnumeric(value) && isscalar(value) && isreal(value)
        name = sprintf('%s_%s', class(value), num2str(value, 10));
    elseif isa(value, 'function_handle')
        name = func2str(value);
        if isempty(regexp(name, '^@?[A-Za-z][\w.]*$', 'once'))
            name = 'function_handle';
        elseif name(1) ~= '@'
            name = ['@' name];
        end
    else
        name = sprintf('%s_%s', dims, class(value));
    end
end
