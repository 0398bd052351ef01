% runGuarded: calls one method of a test case, or one teardown, and keeps an error it raises as a diagnostic record of that test case.
%
% A failed assumption or assertion stops the code with an error of its own; its record is already
% on the test case, so that error is not recorded again.
function runGuarded(tc, call)
    try
        call();
    catch err
        if ~any(strcmp(err.identifier, struct2cell(qvxunit.stopIdentifiers())))
            what = sprintf('uncaught error: %s', err.message);
            if ~isempty(err.identifier)
                what = sprintf('uncaught error ''%s'': %s', err.identifier, err.message);
            end
            tc.QvxRecords(end + 1) = qvxunit.newRecord('ExceptionThrown', tc.QvxScope, '', '', what, ...
                                                       qvxunit.callerLocation(err.stack));
        end
    end
end
