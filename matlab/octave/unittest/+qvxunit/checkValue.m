% checkValue: the qualifications that look at one value and what it is compared with, such as True, Size, Class or GreaterThan.
%
% True and False want a logical scalar, as MATLAB's do: the number 1 is not true here.
% Comparisons hold for every element, with sizes that are compatible.
function [ok, message] = checkValue(kind, values)
    actual = values{1};
    found = qvxunit.valueText(actual);
    ok = false;
    switch kind
        case {'True', 'False'}
            want = strcmp(kind, 'True');
            ok = islogical(actual) && isscalar(actual) && actual == want;
            message = sprintf('expected logical %s, found %s', mat2str(want), found);
        case 'Empty'
            ok = isempty(actual);
            message = sprintf('expected an empty value, found %s', found);
        case 'NotEmpty'
            ok = ~isempty(actual);
            message = sprintf('expected a value that is not empty, found %s', found);
        case 'ReturnsTrue'
            if ~isa(actual, 'function_handle')
                message = sprintf('expected a function handle, found %s', found);
            else
                value = actual();
                ok = islogical(value) && isscalar(value) && value;
                message = sprintf('expected %s to return logical true, it returned %s', func2str(actual), ...
                                  qvxunit.valueText(value));
            end
        case 'Size'
            want = values{2};
            ok = isequal(size(actual), want(:)');
            message = sprintf('expected size %s, found size %s', mat2str(want(:)'), mat2str(size(actual)));
        case {'Class', 'InstanceOf'}
            name = values{2};
            if isa(name, 'meta.class')
                name = name.Name;
            end
            if strcmp(kind, 'Class')
                ok = strcmp(class(actual), name);
                message = sprintf('expected class %s exactly, found %s', name, class(actual));
            else
                ok = isa(actual, name);
                message = sprintf('expected an instance of %s, found %s', name, class(actual));
            end
        case 'Numel'
            ok = numel(actual) == values{2};
            message = sprintf('expected %d elements, found %d', values{2}, numel(actual));
        case 'Length'
            ok = length(actual) == values{2};
            message = sprintf('expected length %d, found %d', values{2}, length(actual));
        case {'GreaterThan', 'GreaterThanOrEqual', 'LessThan', 'LessThanOrEqual'}
            [ok, message] = compareOrder(kind, actual, values{2});
        case {'Substring', 'Matches'}
            pattern = values{2};
            if ~ischar(actual) || ~ischar(pattern)
                message = sprintf('expected text, found %s and %s', found, qvxunit.valueText(pattern));
            elseif strcmp(kind, 'Substring')
                ok = ~isempty(strfind(actual, pattern));
                message = sprintf('expected text containing ''%s'', found %s', pattern, found);
            else
                ok = ~isempty(regexp(actual, pattern, 'once'));
                message = sprintf('expected text matching ''%s'', found %s', pattern, found);
            end
        otherwise
            error('qvxunit:usage', 'Unknown qualification %s.', kind);
    end
end

function [ok, message] = compareOrder(kind, actual, bound)
    words = struct('GreaterThan', 'greater than', 'GreaterThanOrEqual', 'greater than or equal to', ...
                   'LessThan', 'less than', 'LessThanOrEqual', 'less than or equal to');
    ops = struct('GreaterThan', @gt, 'GreaterThanOrEqual', @ge, 'LessThan', @lt, 'LessThanOrEqual', @le);
    ok = false;
    try
        holds = ops.(kind)(actual, bound);
        ok = all(holds(:));
        detail = '';
        k = find(~holds(:), 1);
        if ~isempty(k) && ~isscalar(holds)
            detail = sprintf(' (element %d fails)', k);
        end
        message = sprintf('expected every element %s %s, found %s%s', words.(kind), ...
                          qvxunit.valueText(bound), qvxunit.valueText(actual), detail);
    catch err
        message = sprintf('cannot compare %s with %s: %s', qvxunit.valueText(actual), ...
                          qvxunit.valueText(bound), err.message);
    end
end
