% runGuarded: calls one method of a test case, or one teardown, and keeps an error it raises as a diagnostic record of that test case.
%
% label, if given, says which code raised it (a teardown, for example).
% A failed assumption or assertion stops the code with an error of its own; its record is already
% on the test case, so that error is not recorded again.
function runGuarded(tc, call, label)
    try
        call();
    catch err
        if ~any(strcmp(err.identifier, struct2cell(qvxunit.stopIdentifiers())))
            % The first line says what went wrong; Octave adds help text on the lines after it.
            message = strtrim(strtok(err.message, sprintf('\n')));
            what = sprintf('uncaught error: %s', message);
            if ~isempty(err.identifier)
                what = sprintf('uncaught error ''%s'': %s', err.identifier, message);
            end
            if nargin > 2
                what = sprintf('%s: %s', label, what);
            end
            tc.QvxRecords(end + 1) = qvxunit.newRecord('ExceptionThrown', tc.QvxScope, '', '', what, ...
                                                       qvxunit.callerLocation(err.stack));
        end
    end
end
