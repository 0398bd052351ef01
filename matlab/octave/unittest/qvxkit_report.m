% qvxkit_report: prints one line per test result of runtests and a summary line, and returns how many tests failed.
%
%   passed  NAME (N qualifications, T s)
%   FAILED  NAME: the first failure, with its diagnostic, what was expected and found, and where
%   incomplete  NAME: the reason
%   12 passed, 1 failed, 2 incomplete
%
% The summary counts as MATLAB's totals do: a test stopped by a failed assertion or an error is
% both failed and incomplete, and is counted in both.
function failed = qvxkit_report(results)
    failing = {'VerificationFailed', 'AssertionFailed', 'FatalAssertionFailed', 'ExceptionThrown', 'NoQualification', ...
               'NoTests'};
    stopping = {'AssumptionFailed', 'AssertionFailed', 'FatalAssertionFailed', 'ExceptionThrown', 'NotRun'};
    for k = 1:numel(results)
        r = results(k);
        records = r.Details.DiagnosticRecord;
        if r.Failed
            printf('FAILED  %s: %s\n', r.Name, firstReport(records, failing));
        elseif r.Incomplete
            printf('incomplete  %s: %s\n', r.Name, firstReport(records, stopping));
        else
            printf('passed  %s (%d qualifications, %.2f s)\n', r.Name, r.Details.QualificationCount, r.Duration);
        end
    end
    failed = sum([results.Failed]);
    printf('%d passed, %d failed, %d incomplete\n', sum([results.Passed]), failed, sum([results.Incomplete]));
end

function text = firstReport(records, events)
    k = find(ismember({records.Event}, events));
    if isempty(k)
        text = '(no diagnostic record)';
        return;
    end
    text = records(k(1)).Report;
    if numel(k) > 1
        text = sprintf('%s (and %d more)', text, numel(k) - 1);
    end
end
