% valueText: a short description of a value for failure messages: its class, and its contents when they are small.
function text = valueText(value)
    dims = sprintf('%dx', size(value));
    dims = dims(1:end - 1);
    if ischar(value) && (isrow(value) || isempty(value))
        text = ['''' value ''''];
        if numel(text) > 200
            text = [text(1:197) '...'''];
        end
    elseif (isnumeric(value) || islogical(value)) && numel(value) <= 16 && ndims(value) == 2
        if isscalar(value) && islogical(value)
            body = mat2str(value);
        elseif isscalar(value)
            body = num2str(value, 10);
        elseif isempty(value)
            body = '[]';
        else
            body = mat2str(value, 10);
        end
        text = sprintf('%s %s', class(value), body);
        if ~isscalar(value)
            text = sprintf('%s %s', dims, text);
        end
    elseif isa(value, 'function_handle')
        text = func2str(value);
    elseif iscellstr(value) && numel(value) <= 8 && isrow(value)
        text = ['{' strjoin(cellfun(@(s) ['''' s ''''], value, 'UniformOutput', false), ', ') '}'];
    else
        text = sprintf('%s %s', dims, class(value));
    end
end
