% newRecord: one diagnostic record of a test's result (a failure, an error, or a test that qualified nothing).
%
% newRecord() gives an empty record array to start from. Report is the line that the kit's report
% shows: the qualification, the test's own diagnostic, what was expected and found, and where.
function record = newRecord(event, scope, qualification, testDiagnostic, frameworkDiagnostic, location)
    fields = {'Event', 'EventScope', 'Qualification', 'TestDiagnostic', 'FrameworkDiagnostic', ...
              'EventLocation', 'Report'};
    if nargin == 0
        record = cell2struct(cell(numel(fields), 0), fields, 1);
        return;
    end
    parts = {};
    if any(strcmp(scope, {'TestClassSetup', 'TestMethodSetup', 'TestMethodTeardown', 'TestClassTeardown'}))
        parts{end + 1} = ['in ' scope];   % not the test's own code
    end
    if ~isempty(qualification)
        parts{end + 1} = qualification;
    end
    if ~isempty(testDiagnostic)
        parts{end + 1} = testDiagnostic;
    end
    if ~isempty(frameworkDiagnostic)
        parts{end + 1} = frameworkDiagnostic;
    end
    report = strjoin(parts, ': ');
    if ~isempty(location)
        report = sprintf('%s (at %s)', report, location);
    end
    record = cell2struct({event; scope; qualification; testDiagnostic; frameworkDiagnostic; location; report}, ...
                         fields, 1);
end
