% checkCall: the qualifications that call a function — Error, Warning, WarningFree — with the outputs the caller asked for.
%
% An expected error is named by its identifier or by a meta.class. Errors caught in Octave 7 are
% plain structs, every one of which MATLAB would raise as an MException, so ?MException accepts
% any error and another class accepts only what isa says is one.
% Warnings are seen through lastwarn, cleared before the call: a warning counts when it is enabled,
% and for Warning the expected one must be the last warning the function raised.
function [ok, message, outputs] = checkCall(kind, values, nout)
    fcn = values{1};
    outputs = cell(1, nout);
    if ~isa(fcn, 'function_handle')
        ok = false;
        message = sprintf('expected a function handle to call, found %s', qvxunit.valueText(fcn));
        return;
    end
    if strcmp(kind, 'Error')
        [ok, message, outputs] = expectError(fcn, values{2}, nout);
        return;
    end
    [previousMessage, previousId] = lastwarn();
    lastwarn('', '');
    [outputs{1:nout}] = fcn();
    [warned, id] = lastwarn();
    if isempty(warned)
        lastwarn(previousMessage, previousId);
    end
    if strcmp(kind, 'WarningFree')
        ok = isempty(warned);
        message = sprintf('expected no warning, found warning ''%s'': %s', id, warned);
    else
        expected = values{2};
        ok = ~isempty(warned) && strcmp(id, expected);
        if isempty(warned)
            message = sprintf('expected warning ''%s'', found no warning', expected);
        else
            message = sprintf('expected warning ''%s'', found warning ''%s'': %s', expected, id, warned);
        end
    end
end

function [ok, message, outputs] = expectError(fcn, expected, nout)
    outputs = cell(1, nout);
    if isa(expected, 'meta.class')
        wanted = ['an error of class ' expected.Name];
    elseif ischar(expected)
        wanted = ['error ''' expected ''''];
    else
        error('qvxunit:usage', 'Error needs an error identifier or a meta.class, found %s.', class(expected));
    end
    try
        [outputs{1:nout}] = fcn();
    catch err
        if isa(expected, 'meta.class')
            ok = strcmp(expected.Name, 'MException') || isa(err, expected.Name);
            message = sprintf('expected %s, found %s: %s', wanted, class(err), err.message);
        else
            ok = strcmp(err.identifier, expected);
            message = sprintf('expected %s, found error ''%s'': %s', wanted, err.identifier, err.message);
        end
        outputs = cell(1, nout);
        return;
    end
    ok = false;
    message = sprintf('expected %s, but the function returned without an error', wanted);
end
