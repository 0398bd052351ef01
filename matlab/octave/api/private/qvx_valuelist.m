% qvx_valuelist: a cell of texts as the error messages show it, e.g. {'off', 'on'}.
function text = qvx_valuelist(values)
    quoted = cellfun(@(v) ['''' v ''''], values, 'UniformOutput', false);
    text = ['{' strjoin(quoted, ', ') '}'];
end
