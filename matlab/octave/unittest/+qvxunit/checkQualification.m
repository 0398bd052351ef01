% checkQualification: checks one qualification's values, whatever its prefix, and says what was expected and what was found.
%
% args are the qualification's arguments after the test case: the values it checks, then an optional
% diagnostic; verifyEqual also takes 'AbsTol' and 'RelTol' pairs, after the diagnostic or before it.
% outputs holds nout values for the qualifications that call a function and return its outputs.
function [ok, message, outputs, diagnostic] = checkQualification(kind, args, nout)
    counts = struct('Fail', 0, 'True', 1, 'False', 1, 'Empty', 1, 'NotEmpty', 1, 'ReturnsTrue', 1, ...
                    'WarningFree', 1);
    required = 2;
    if isfield(counts, kind)
        required = counts.(kind);
    end
    if numel(args) < required
        error('qvxunit:usage', '%s needs %d value(s) after the test case, found %d.', kind, required, numel(args));
    end
    values = args(1:required);
    rest = args(required + 1:end);
    absTol = [];
    relTol = [];
    if any(strcmp(kind, {'Equal', 'NotEqual'}))
        [rest, absTol, relTol] = tolerances(rest);
    end
    if numel(rest) > 1
        error('qvxunit:usage', '%s takes one diagnostic after its values, found %d more arguments.', kind, numel(rest));
    end
    diagnostic = '';
    if ~isempty(rest)
        diagnostic = rest{1};
    end
    outputs = cell(1, nout);
    message = '';
    switch kind
        case {'Error', 'Warning', 'WarningFree'}
            [ok, message, outputs] = qvxunit.checkCall(kind, values, nout);
        case 'Equal'
            message = qvxunit.compareValues(values{1}, values{2}, absTol, relTol);
            ok = isempty(message);
        case 'NotEqual'
            ok = ~isempty(qvxunit.compareValues(values{1}, values{2}, absTol, relTol));
            message = sprintf('expected a value other than %s, found it', qvxunit.valueText(values{2}));
        case 'Fail'
            ok = false;
            message = 'failed unconditionally';
        otherwise
            [ok, message] = qvxunit.checkValue(kind, values);
    end
end

% Takes 'AbsTol'/'RelTol' name-value pairs out of the arguments after the compared values.
function [rest, absTol, relTol] = tolerances(rest)
    absTol = [];
    relTol = [];
    k = 1;
    while k <= numel(rest)
        if ischar(rest{k}) && any(strcmpi(rest{k}, {'AbsTol', 'RelTol'})) && k < numel(rest)
            if ~isnumeric(rest{k + 1})
                error('qvxunit:usage', '%s needs a numeric tolerance, found %s.', rest{k}, class(rest{k + 1}));
            end
            if strcmpi(rest{k}, 'AbsTol')
                absTol = rest{k + 1};
            else
                relTol = rest{k + 1};
            end
            rest(k:k + 1) = [];
        else
            k = k + 1;
        end
    end
end
