% TestCase: the base class of matlab.unittest test classes, as this runner of the acceptance kit under GNU Octave provides it.
%
% Every qualification (verify*, assume*, assert*, fatalAssert*) checks its values through
% qvxunit.checkQualification, counts itself while the runner says the test's own code is running,
% and on failure keeps a diagnostic record on this object. Records, not exceptions, decide a test's
% outcome, so a test that catches the exception of a failed assumption still ends incomplete.
% assume, assert and fatalAssert stop the code that called them by raising an error with one of the
% identifiers in qvxunit.stopIdentifiers.
classdef TestCase < handle

    % Runner state. Hidden and defined here, so that the runner can tell it from a test class's own
    % properties when it copies the class setup's state into each test's object.
    properties (Hidden)
        QvxScope = 'Test';        % which fixture or test code is running now
        QvxCounting = false;      % whether qualifications now count for the test
        QvxCount = 0;             % qualifications counted
        QvxRecords = qvxunit.newRecord();   % diagnostic records of failures, in order
        QvxTeardowns = {};        % {call, fcn, args, scope} per addTeardown, in the order added
    end

    methods
        % Runs fcn(args...) when the fixture of the code that calls this ends: after the test
        % when called from a test or from method setup, after the class when called from class setup.
        function addTeardown(tc, fcn, varargin)
            if ~isa(fcn, 'function_handle')
                error('qvxunit:badTeardown', 'addTeardown needs a function handle, found %s.', class(fcn));
            end
            % Octave checks a private method's access where a handle to it is called, not where it
            % was made. A test class hands us handles to its own private static methods, so such a
            % call goes through a function made in the caller's context, where that access is allowed.
            call = @(f, varargin) f(varargin{:});
            if ~isempty(regexp(func2str(fcn), '^@?[A-Za-z]\w*(\.[A-Za-z]\w*)+$', 'once'))
                try
                    call = evalin('caller', '@(f, varargin) f(varargin{:})');
                catch
                end
            end
            tc.QvxTeardowns{end + 1} = {call, fcn, varargin, tc.QvxScope};
        end

        % log(tc, diagnostic) or log(tc, verbosity, diagnostic): prints the diagnostic's text when its
        % verbosity is Terse (1), the level up to which runtests shows logged diagnostics by default.
        % Without a verbosity MATLAB logs at Concise (2), which runtests does not show.
        function log(tc, varargin)
            verbosity = 2;
            if numel(varargin) > 1
                verbosity = varargin{1};
            end
            if ischar(verbosity)
                verbosity = find(strcmpi(verbosity, {'Terse', 'Concise', 'Detailed', 'Verbose'}), 1);
            end
            if isnumeric(verbosity) && isscalar(verbosity) && verbosity <= 1
                printf('  [%s] %s\n', tc.QvxScope, qvxunit.diagnosticText(varargin{end}));
            end
        end
    end

    % One method per qualification and prefix. Each passes its own nargout on, because verifyError,
    % verifyWarning and verifyWarningFree return the outputs of the function they call.
    methods
        function varargout = verifyEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'Equal', nargout, varargin); end
        function varargout = verifyNotEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'NotEqual', nargout, varargin); end
        function varargout = verifyTrue(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'True', nargout, varargin); end
        function varargout = verifyFalse(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'False', nargout, varargin); end
        function varargout = verifyError(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'Error', nargout, varargin); end
        function varargout = verifyWarning(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'Warning', nargout, varargin); end
        function varargout = verifyWarningFree(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'WarningFree', nargout, varargin); end
        function varargout = verifySize(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'Size', nargout, varargin); end
        function varargout = verifyClass(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'Class', nargout, varargin); end
        function varargout = verifyInstanceOf(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'InstanceOf', nargout, varargin); end
        function varargout = verifyEmpty(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'Empty', nargout, varargin); end
        function varargout = verifyNotEmpty(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'NotEmpty', nargout, varargin); end
        function varargout = verifyNumel(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'Numel', nargout, varargin); end
        function varargout = verifyLength(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'Length', nargout, varargin); end
        function varargout = verifyGreaterThan(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'GreaterThan', nargout, varargin); end
        function varargout = verifyGreaterThanOrEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'GreaterThanOrEqual', nargout, varargin); end
        function varargout = verifyLessThan(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'LessThan', nargout, varargin); end
        function varargout = verifyLessThanOrEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'LessThanOrEqual', nargout, varargin); end
        function varargout = verifyFail(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'Fail', nargout, varargin); end
        function varargout = verifySubstring(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'Substring', nargout, varargin); end
        function varargout = verifyMatches(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'Matches', nargout, varargin); end
        function varargout = verifyReturnsTrue(tc, varargin), [varargout{1:nargout}] = tc.qualify_('verify', 'ReturnsTrue', nargout, varargin); end

        function varargout = assumeEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'Equal', nargout, varargin); end
        function varargout = assumeNotEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'NotEqual', nargout, varargin); end
        function varargout = assumeTrue(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'True', nargout, varargin); end
        function varargout = assumeFalse(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'False', nargout, varargin); end
        function varargout = assumeError(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'Error', nargout, varargin); end
        function varargout = assumeWarning(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'Warning', nargout, varargin); end
        function varargout = assumeWarningFree(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'WarningFree', nargout, varargin); end
        function varargout = assumeSize(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'Size', nargout, varargin); end
        function varargout = assumeClass(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'Class', nargout, varargin); end
        function varargout = assumeInstanceOf(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'InstanceOf', nargout, varargin); end
        function varargout = assumeEmpty(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'Empty', nargout, varargin); end
        function varargout = assumeNotEmpty(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'NotEmpty', nargout, varargin); end
        function varargout = assumeNumel(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'Numel', nargout, varargin); end
        function varargout = assumeLength(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'Length', nargout, varargin); end
        function varargout = assumeGreaterThan(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'GreaterThan', nargout, varargin); end
        function varargout = assumeGreaterThanOrEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'GreaterThanOrEqual', nargout, varargin); end
        function varargout = assumeLessThan(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'LessThan', nargout, varargin); end
        function varargout = assumeLessThanOrEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'LessThanOrEqual', nargout, varargin); end
        function varargout = assumeFail(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'Fail', nargout, varargin); end
        function varargout = assumeSubstring(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'Substring', nargout, varargin); end
        function varargout = assumeMatches(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'Matches', nargout, varargin); end
        function varargout = assumeReturnsTrue(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assume', 'ReturnsTrue', nargout, varargin); end

        function varargout = assertEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'Equal', nargout, varargin); end
        function varargout = assertNotEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'NotEqual', nargout, varargin); end
        function varargout = assertTrue(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'True', nargout, varargin); end
        function varargout = assertFalse(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'False', nargout, varargin); end
        function varargout = assertError(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'Error', nargout, varargin); end
        function varargout = assertWarning(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'Warning', nargout, varargin); end
        function varargout = assertWarningFree(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'WarningFree', nargout, varargin); end
        function varargout = assertSize(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'Size', nargout, varargin); end
        function varargout = assertClass(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'Class', nargout, varargin); end
        function varargout = assertInstanceOf(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'InstanceOf', nargout, varargin); end
        function varargout = assertEmpty(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'Empty', nargout, varargin); end
        function varargout = assertNotEmpty(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'NotEmpty', nargout, varargin); end
        function varargout = assertNumel(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'Numel', nargout, varargin); end
        function varargout = assertLength(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'Length', nargout, varargin); end
        function varargout = assertGreaterThan(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'GreaterThan', nargout, varargin); end
        function varargout = assertGreaterThanOrEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'GreaterThanOrEqual', nargout, varargin); end
        function varargout = assertLessThan(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'LessThan', nargout, varargin); end
        function varargout = assertLessThanOrEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'LessThanOrEqual', nargout, varargin); end
        function varargout = assertFail(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'Fail', nargout, varargin); end
        function varargout = assertSubstring(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'Substring', nargout, varargin); end
        function varargout = assertMatches(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'Matches', nargout, varargin); end
        function varargout = assertReturnsTrue(tc, varargin), [varargout{1:nargout}] = tc.qualify_('assert', 'ReturnsTrue', nargout, varargin); end

        function varargout = fatalAssertEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'Equal', nargout, varargin); end
        function varargout = fatalAssertNotEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'NotEqual', nargout, varargin); end
        function varargout = fatalAssertTrue(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'True', nargout, varargin); end
        function varargout = fatalAssertFalse(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'False', nargout, varargin); end
        function varargout = fatalAssertError(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'Error', nargout, varargin); end
        function varargout = fatalAssertWarning(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'Warning', nargout, varargin); end
        function varargout = fatalAssertWarningFree(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'WarningFree', nargout, varargin); end
        function varargout = fatalAssertSize(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'Size', nargout, varargin); end
        function varargout = fatalAssertClass(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'Class', nargout, varargin); end
        function varargout = fatalAssertInstanceOf(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'InstanceOf', nargout, varargin); end
        function varargout = fatalAssertEmpty(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'Empty', nargout, varargin); end
        function varargout = fatalAssertNotEmpty(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'NotEmpty', nargout, varargin); end
        function varargout = fatalAssertNumel(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'Numel', nargout, varargin); end
        function varargout = fatalAssertLength(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'Length', nargout, varargin); end
        function varargout = fatalAssertGreaterThan(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'GreaterThan', nargout, varargin); end
        function varargout = fatalAssertGreaterThanOrEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'GreaterThanOrEqual', nargout, varargin); end
        function varargout = fatalAssertLessThan(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'LessThan', nargout, varargin); end
        function varargout = fatalAssertLessThanOrEqual(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'LessThanOrEqual', nargout, varargin); end
        function varargout = fatalAssertFail(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'Fail', nargout, varargin); end
        function varargout = fatalAssertSubstring(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'Substring', nargout, varargin); end
        function varargout = fatalAssertMatches(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'Matches', nargout, varargin); end
        function varargout = fatalAssertReturnsTrue(tc, varargin), [varargout{1:nargout}] = tc.qualify_('fatalAssert', 'ReturnsTrue', nargout, varargin); end
    end

    methods (Access = private)
        function varargout = qualify_(tc, prefix, kind, nout, args)
            if tc.QvxCounting
                tc.QvxCount = tc.QvxCount + 1;
            end
            [ok, message, outputs, diagnostic] = qvxunit.checkQualification(kind, args, nout);
            varargout = outputs;
            if ok
                return;
            end
            events = struct('verify', 'VerificationFailed', 'assume', 'AssumptionFailed', ...
                            'assert', 'AssertionFailed', 'fatalAssert', 'FatalAssertionFailed');
            record = qvxunit.newRecord(events.(prefix), tc.QvxScope, [prefix kind], ...
                                       qvxunit.diagnosticText(diagnostic), message, qvxunit.callerLocation());
            tc.QvxRecords(end + 1) = record;
            if ~strcmp(prefix, 'verify')
                ids = qvxunit.stopIdentifiers();
                error(ids.(prefix), '%s', record.Report);
            end
        end
    end
end
