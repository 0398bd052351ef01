% outcome: whether a test's diagnostic records make it failed, incomplete, or end the whole run.
%
% A failed verification fails the test; a failed assumption leaves it incomplete; a failed
% assertion, or an error in setup or in the test, does both; a fatal assertion also ends the run.
% An error in a teardown does both as well, as MATLAB's runner has it: what the teardown should have
% undone may still be in place.
function [failed, incomplete, fatal] = outcome(records)
    events = {records.Event};
    thrown = strcmp(events, 'ExceptionThrown');
    failed = any(ismember(events, {'VerificationFailed', 'AssertionFailed', 'FatalAssertionFailed', ...
                                   'NoQualification', 'NoTests'}) | thrown);
    incomplete = any(ismember(events, {'AssumptionFailed', 'AssertionFailed', 'FatalAssertionFailed', ...
                                       'NotRun'}) | thrown);
    fatal = any(strcmp(events, 'FatalAssertionFailed'));
end
