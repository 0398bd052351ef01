% qvx_showvalue: a property value as one line of get's listing ("on", "12.5", "[0 0 640 480]", ...).
function text = qvx_showvalue(value)
    if ischar(value)
        text = value;
    elseif isempty(value) && isnumeric(value)
        text = '[]';
    elseif (isnumeric(value) || islogical(value)) && isscalar(value)
        text = num2str(value);
    elseif isnumeric(value) && isvector(value)
        text = mat2str(value);
    elseif iscell(value)
        text = sprintf('{%dx%d cell}', size(value, 1), size(value, 2));
    else
        text = sprintf('[%dx%d %s]', size(value, 1), size(value, 2), class(value));
    end
end
