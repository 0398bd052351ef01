% outcome: whether a test's diagnostic records make it failed, incomplete, or end the whole run.
%
% A failed verification fails the test; a failed assumption leaves it incomplete; a failed
% assertion, or an error in setup or in the test, does both; a fatal assertion also ends the run.
% An error in a teardown fails the test, which has already run to its end.
function [failed, incomplete, fatal] = outcome(records)
    events = {records.Event};
    teardown = ismember({records.EventScope}, {'Teardown', 'TestMethodTeardown', 'TestClassTeardown'});
    thrown = strcmp(events, 'ExceptionThrown');
    failed = any(ismember(events, {'VerificationFailed', 'AssertionFailed', 'FatalAssertionFailed', ...
                                   'NoQualification', 'NoTests'}) | thrown);
    incomplete = any(ismember(events, {'AssumptionFailed', 'AssertionFailed', 'FatalAssertionFailed', ...
                                       'NotRun'}) | (thrown & ~teardown));
    fatal = any(strcmp(events, 'FatalAssertionFailed'));
end
