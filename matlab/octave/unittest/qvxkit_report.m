% qvxkit_report: prints one line per test result of runtests and a summary line, and returns how many tests failed.
%
%   failed = qvxkit_report(results)
%   failed = qvxkit_report(results, incompleteFails)
%
%   passed  NAME (N qualifications, T s)
%   FAILED  NAME: the first failure, with its diagnostic, what was expected and found, and where
%   incomplete  NAME: the reason
%   12 passed, 1 failed, 2 incomplete
%
% The summary counts as MATLAB's totals do: a test stopped by a failed assertion or an error is
% both failed and incomplete, and is counted in both. With incompleteFails (a run on cameras that
% give every test a case), a test that is only incomplete is reported and counted as failed too.
function failed = qvxkit_report(results, incompleteFails)
    if nargin < 2
        incompleteFails = false;
    end
    failing = {'VerificationFailed', 'AssertionFailed', 'FatalAssertionFailed', 'ExceptionThrown', 'NoQualification', ...
               'NoTests'};
    stopping = {'AssumptionFailed', 'AssertionFailed', 'FatalAssertionFailed', 'ExceptionThrown', 'NotRun'};
    for k = 1:numel(results)
        r = results(k);
        records = r.Details.DiagnosticRecord;
        if r.Failed
            printf('FAILED  %s: %s\n', r.Name, firstReport(records, failing));
        elseif r.Incomplete && incompleteFails
            printf('FAILED  %s: incomplete, where every test must have a case: %s\n', r.Name, ...
                   firstReport(records, stopping));
        elseif r.Incomplete
            printf('incomplete  %s: %s\n', r.Name, firstReport(records, stopping));
        else
            printf('passed  %s (%d qualifications, %.2f s)\n', r.Name, r.Details.QualificationCount, r.Duration);
        end
    end
    failed = sum([results.Failed]);
    if incompleteFails
        failed = sum([results.Failed] | [results.Incomplete]);
    end
    printf('%d passed, %d failed, %d incomplete\n', sum([results.Passed]), sum([results.Failed]), ...
           sum([results.Incomplete]));
    if incompleteFails && any([results.Incomplete] & ~[results.Failed])
        printf('On these cameras every test has a case: an incomplete test counts as failed.\n');
    end
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
