% compareValues: '' when actual equals expected as verifyEqual demands, else what differs first and where.
%
% Equal means the same class, size, sparsity and complexity, and the same values; cells and structs
% compare element by element and field by field, with the tolerances reaching every number inside.
% NaN never equals NaN. Without Octave's string type, "text" and 'text' are the same char value.
% A number passes within the absolute tolerance or within the relative one, whichever is given.
function message = compareValues(actual, expected, absTol, relTol, where)
    if nargin < 5
        where = '';
    end
    message = '';
    at = '';
    if ~isempty(where)
        at = [' at ' where];
    end
    if ~strcmp(class(actual), class(expected))
        message = sprintf('expected class %s%s, found %s', class(expected), at, class(actual));
    elseif ~isequal(size(actual), size(expected))
        message = sprintf('expected size %s%s, found %s', sizeText(expected), at, sizeText(actual));
        if ischar(expected) && size(expected, 1) <= 1 && size(actual, 1) <= 1
            message = sprintf('expected ''%s''%s, found ''%s''', expected, at, actual);
        end
    elseif iscell(expected)
        for k = 1:numel(expected)
            message = qvxunit.compareValues(actual{k}, expected{k}, absTol, relTol, sprintf('%s{%d}', where, k));
            if ~isempty(message)
                return;
            end
        end
    elseif isstruct(expected)
        names = sort(fieldnames(expected));
        if ~isequal(sort(fieldnames(actual)), names)
            message = sprintf('expected fields %s%s, found %s', strjoin(names', ','), at, ...
                              strjoin(sort(fieldnames(actual))', ','));
            return;
        end
        for k = 1:numel(expected)
            for f = 1:numel(names)
                inner = sprintf('%s.%s', where, names{f});
                if numel(expected) > 1
                    inner = sprintf('%s(%d).%s', where, k, names{f});
                end
                message = qvxunit.compareValues(actual(k).(names{f}), expected(k).(names{f}), absTol, relTol, inner);
                if ~isempty(message)
                    return;
                end
            end
        end
    elseif isnumeric(expected) || islogical(expected) || ischar(expected)
        if issparse(actual) ~= issparse(expected)
            message = sprintf('expected sparse = %d%s, found %d', issparse(expected), at, issparse(actual));
        elseif isreal(actual) ~= isreal(expected)
            message = sprintf('expected real = %d%s, found %d', isreal(expected), at, isreal(actual));
        else
            same = (actual == expected);
            if isnumeric(expected) && ~(isempty(absTol) && isempty(relTol))
                gap = abs(double(actual) - double(expected));
                if ~isempty(absTol)
                    same = same | gap <= double(absTol);
                end
                if ~isempty(relTol)
                    same = same | gap <= double(relTol) .* abs(double(expected));
                end
            end
            k = find(~same(:), 1);
            if ~isempty(k)
                if isscalar(expected) || ischar(expected)
                    message = sprintf('expected %s%s, found %s', qvxunit.valueText(expected), at, ...
                                      qvxunit.valueText(actual));
                else
                    message = sprintf('expected %s at element %d%s, found %s (expected %s, found %s)', ...
                                      num2str(expected(k), 10), k, at, num2str(actual(k), 10), ...
                                      qvxunit.valueText(expected), qvxunit.valueText(actual));
                end
                if ~(isempty(absTol) && isempty(relTol))
                    message = sprintf('%s, beyond the tolerance', message);
                end
                if isnumeric(expected) && isnan(expected(k)) && isnan(actual(k))
                    message = sprintf('%s (NaN never equals NaN)', message);
                end
            end
        end
    elseif ~isequal(actual, expected)
        message = sprintf('expected %s%s, found %s', qvxunit.valueText(expected), at, qvxunit.valueText(actual));
    end
end

function text = sizeText(value)
    text = sprintf('%dx', size(value));
    text = text(1:end - 1);
end
