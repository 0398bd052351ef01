% runClass: runs the tests of one class (see buildSuite) with their fixtures and gives one result per test.
%
% Order: TestClassSetup methods once; for each test a fresh test case that carries the state the
% class setup left, its TestMethodSetup methods, the test, then its own teardowns (last in, first
% out), the TestMethodTeardown methods, and the teardowns added in method setup; at the end the
% TestClassTeardown methods and the teardowns added in class setup.
% A test's qualifications count from the test method through its teardowns; setup code does not
% make a test count as checked. A test that passes with none fails: it checked nothing.
% Class-level failures reach every test; class teardown failures reach the last test that ran.
% ended is '' or, once a fatal assertion failed, its report: the remaining tests do not run.
function [results, ended] = runClass(suite, ended)
    results = struct('Name', {suite.Tests.Name}, 'Passed', false, 'Failed', false, 'Incomplete', false, ...
                     'Duration', 0, 'Details', struct('DiagnosticRecord', qvxunit.newRecord(), ...
                                                      'QualificationCount', 0));
    if isempty(results)
        % MATLAB gives no result for a class without tests; here it fails, so that a run in which
        % no test was found, or none was read from the class file, cannot pass.
        results = struct('Name', suite.ClassName, 'Passed', false, 'Failed', false, 'Incomplete', false, ...
                         'Duration', 0, 'Details', []);
        results = finish(results, qvxunit.newRecord('NoTests', 'Test', '', '', 'the class has no tests', ...
                                                    suite.File), 0, 0);
        return;
    end
    if ~isempty(ended)
        results = notRun(results, 1, ended);
        return;
    end
    if ~isempty(suite.Problem)
        for k = 1:numel(results)
            results(k) = finish(results(k), qvxunit.newRecord('ExceptionThrown', 'TestClassSetup', '', '', ...
                                                              suite.Problem, suite.File), 0, 0);
        end
        return;
    end
    started = tic;
    try
        shared = feval(suite.ClassName);
    catch err
        for k = 1:numel(results)
            results(k) = finish(results(k), qvxunit.newRecord('ExceptionThrown', 'TestClassSetup', '', '', ...
                ['cannot make the test case: ' err.message], qvxunit.callerLocation(err.stack)), 0, 0);
        end
        return;
    end
    shared.QvxScope = 'TestClassSetup';
    runMethods(shared, suite.ClassSetup);
    classRecords = shared.QvxRecords;
    [~, classStopped, ended] = qvxunit.outcome(classRecords);
    ended = fatalReport(suite.ClassName, classRecords, ended);
    carry = carriedProperties(suite.ClassName);
    setupTime = toc(started);
    last = 0;
    for k = 1:numel(suite.Tests)
        if classStopped
            results(k) = finish(results(k), classRecords, 0, setupTime * (k == 1));
            continue;
        end
        if ~isempty(ended)
            results = notRun(results, k, ended);
            break;
        end
        [results(k), fatal] = runTest(suite, suite.Tests(k), shared, carry, classRecords, setupTime * (k == 1));
        last = k;
        ended = fatalReport(results(k).Name, results(k).Details.DiagnosticRecord, fatal);
    end
    % Class teardown.
    started = tic;
    shared.QvxRecords = qvxunit.newRecord();
    shared.QvxScope = 'TestClassTeardown';
    runMethods(shared, suite.ClassTeardown, false);
    qvxunit.runTeardowns(shared, {'TestClassSetup', 'TestClassTeardown'});
    if last == 0
        last = numel(results);
    end
    late = shared.QvxRecords;
    records = qvxunit.joinRecords(results(last).Details.DiagnosticRecord, late);
    results(last) = finish(results(last), records, results(last).Details.QualificationCount, ...
                           results(last).Duration + toc(started));
    if isempty(ended)
        [~, ~, fatal] = qvxunit.outcome(late);
        ended = fatalReport(suite.ClassName, late, fatal);
    end
end

% '' or where the run ended: what failed, and its fatal assertion's report.
function ended = fatalReport(what, records, fatal)
    ended = '';
    if fatal
        k = find(strcmp({records.Event}, 'FatalAssertionFailed'), 1);
        ended = sprintf('%s: %s', what, records(k).Report);
    end
end

function [result, fatal] = runTest(suite, test, shared, carry, classRecords, extraTime)
    started = tic;
    result = struct('Name', test.Name);
    if ~isempty(test.Problem)
        record = qvxunit.newRecord('ExceptionThrown', 'Test', '', '', test.Problem, suite.File);
        [result, fatal] = finishTest(result, qvxunit.joinRecords(classRecords, record), 0, toc(started) + extraTime);
        return;
    end
    % The test's own object, carrying the class setup's state, as MATLAB copies it into each test.
    % Code outside a class cannot copy a property that is not public, so a class with one runs
    % its tests on the class setup's object itself (their own state reset).
    tc = shared;
    if carry
        try
            tc = feval(suite.ClassName);
            copyState(shared, tc, suite.ClassName);
        catch err
            record = qvxunit.newRecord('ExceptionThrown', 'TestMethodSetup', '', '', ...
                ['cannot make the test''s own test case: ' err.message], qvxunit.callerLocation(err.stack));
            [result, fatal] = finishTest(result, qvxunit.joinRecords(classRecords, record), 0, ...
                                         toc(started) + extraTime);
            return;
        end
    end
    tc.QvxRecords = qvxunit.newRecord();
    tc.QvxCount = 0;
    tc.QvxCounting = false;
    tc.QvxScope = 'TestMethodSetup';
    runMethods(tc, suite.MethodSetup);
    [~, stopped] = qvxunit.outcome(tc.QvxRecords);
    if ~stopped
        tc.QvxScope = 'Test';
        tc.QvxCounting = true;
        qvxunit.runGuarded(tc, @() tc.(test.Method)(test.Values{:}));
    end
    tc.QvxScope = 'Teardown';
    qvxunit.runTeardowns(tc, {'Test'});
    tc.QvxScope = 'TestMethodTeardown';
    runMethods(tc, suite.MethodTeardown, false);
    tc.QvxScope = 'Teardown';
    qvxunit.runTeardowns(tc, {'TestMethodSetup', 'Test', 'TestMethodTeardown', 'Teardown'});
    tc.QvxCounting = false;
    [result, fatal] = finishTest(result, qvxunit.joinRecords(classRecords, tc.QvxRecords), tc.QvxCount, ...
                                 toc(started) + extraTime);
end

function [result, fatal] = finishTest(result, records, count, duration)
    [~, ~, fatal] = qvxunit.outcome(records);
    result = finish(result, records, count, duration);
end

% Runs fixture methods in order; in setup (stopOnFailure), none after the first that stops the test.
function runMethods(tc, names, stopOnFailure)
    if nargin < 3
        stopOnFailure = true;
    end
    for m = 1:numel(names)
        qvxunit.runGuarded(tc, @() tc.(names{m})());
        [~, stopped] = qvxunit.outcome(tc.QvxRecords);
        if stopOnFailure && stopped
            return;
        end
    end
end

function result = finish(result, records, count, duration)
    [failed, incomplete] = qvxunit.outcome(records);
    if ~failed && ~incomplete && count == 0
        records(end + 1) = qvxunit.newRecord('NoQualification', 'Test', '', '', ...
                                             'passed without a single qualification', '');
        failed = true;
    end
    result.Passed = ~failed && ~incomplete;
    result.Failed = failed;
    result.Incomplete = incomplete;
    result.Duration = duration;
    result.Details = struct('DiagnosticRecord', records, 'QualificationCount', count);
end

function results = notRun(results, from, ended)
    for k = from:numel(results)
        results(k) = finish(results(k), qvxunit.newRecord('NotRun', 'Test', '', '', ...
                            ['not run: the run ended at the fatal assertion failure of ' ended], ''), 0, 0);
    end
end

% The class's own non-constant properties, and whether Octave lets this runner read and write them all.
function yes = carriedProperties(className)
    yes = true;
    list = ownProperties(className);
    for k = 1:numel(list)
        yes = yes && strcmp(list{k}.GetAccess, 'public') && strcmp(list{k}.SetAccess, 'public');
    end
end

function list = ownProperties(className)
    mc = meta.class.fromName(className);
    list = {};
    for k = 1:numel(mc.PropertyList)
        p = mc.PropertyList{k};
        if ~p.Constant && ~p.Dependent && ~strcmp(p.DefiningClass.Name, 'matlab.unittest.TestCase')
            list{end + 1} = p;
        end
    end
end

function copyState(from, to, className)
    list = ownProperties(className);
    for k = 1:numel(list)
        name = list{k}.Name;
        to.(name) = from.(name);
    end
end
