% QVXImaqAcceptanceTest: checks the QVXImaq adaptor against the cameras connected to this computer.
%
% Register the adaptor first, then run the tests from this folder:
%
%   imaqregister('C:\qvximaq\QVXImaq.dll'); imaqreset;
%   results = runtests('QVXImaqAcceptanceTest'); table(results)
%
% Every test walks all devices the adaptor reports (and, where it says so, all their formats). The
% comment above each test names the test of the repository's suite (tests/, run against the stand-ins
% of the toolbox and the grabber library) that covers the same behaviour.
%
% Cameras with hardware regions of interest deliver the region itself; the others deliver whole
% frames whatever ROIPosition asks. The tests tell them apart by what they deliver. To state which
% cameras must have hardware regions (so that one that delivers whole frames fails), set the
% environment variable QVXIMAQ_REGION_CAMERAS to their device names separated by ";" before running
% the tests.
%
% The property test writes every writable property at its limits and puts the value the camera
% held back afterwards, also when a check fails first. A camera whose settings must not be touched
% should not be connected while the tests run.
classdef QVXImaqAcceptanceTest < matlab.unittest.TestCase

    properties (Constant)
        AdaptorName = 'qvximaq';
        FrameCount = 10;     % frames per getdata test
        MinTimeout = 30;     % seconds a video input waits for frames at the least
    end

    properties
        Info   % imaqhwinfo of the adaptor
    end

    methods (TestClassSetup)
        function findTheAdaptor(testCase)
            installed = imaqhwinfo;
            testCase.assertTrue(any(strcmpi(installed.InstalledAdaptors, testCase.AdaptorName)), ...
                'The adaptor "qvximaq" is not registered: run imaqregister with the path of QVXImaq.dll.');
            testCase.Info = imaqhwinfo(testCase.AdaptorName);
            testCase.assumeNotEmpty(testCase.Info.DeviceIDs, 'No camera of the adaptor is connected.');
        end
    end

    methods (Test)
        % Here: ToolboxTest.HwinfoReportsAddedDevicesWithTheirFormatsInOrder,
        % Discovery.NormPathCountsFormatsFromOneOverAllNorms,
        % Discovery.DescriptorPathReportsEachDescriptorAtItsLargestSizeFromZero,
        % Cli.HwinfoJsonParsesAndListsTheProductsDevices.
        function hardwareInfoListsDevicesAndFormats(testCase)
            info = testCase.Info;
            testCase.verifyEqual(lower(info.AdaptorName), testCase.AdaptorName);
            testCase.verifyTrue(all(cellfun(@(id) isa(id, 'double') && isscalar(id), info.DeviceIDs)), ...
                'Device ids are double scalars.');
            ids = cell2mat(info.DeviceIDs);
            testCase.verifyTrue(all(ids >= 1) && all(diff(ids) > 0), ...
                'Device ids count from 1 in the order of the library''s device list.');
            testCase.verifyEqual(numel(info.DeviceInfo), numel(ids), 'One DeviceInfo per device id.');
            for d = 1:numel(info.DeviceInfo)
                device = info.DeviceInfo(d);
                name = device.DeviceName;
                testCase.verifyNotEmpty(name, 'Every device has a name.');
                testCase.verifyEqual(device.DeviceID, ids(d), [name ': DeviceID and DeviceIDs agree']);
                testCase.verifyEqual(imaqhwinfo(testCase.AdaptorName, ids(d)), device, ...
                    [name ': imaqhwinfo by id gives the same description']);
                formats = device.SupportedFormats;
                testCase.verifyNotEmpty(formats, ['No formats for ' name]);
                testCase.verifyEqual(numel(unique(formats)), numel(formats), ['Repeated format names for ' name]);
                withNorm = ~cellfun(@isempty, strfind(formats, ':'));
                if any(withNorm)
                    % A device with video norms names every format "norm:format".
                    for k = 1:numel(formats)
                        parts = regexp(formats{k}, '^([^:]+):(.+)$', 'tokens', 'once');
                        testCase.verifyNotEmpty(parts, [name ': "' formats{k} '" is not "norm:format"']);
                    end
                end
            end
        end

        % Here: ToolboxAcquisition.SnapshotIsAnAcquisitionOfItsOwn,
        % ToolboxFrame.UprightKeepsGreyAndTurnsColourToTopDownRgb, ColourTable.ChoosesSinkFormatAndFrameType,
        % InstanceCreation.FixedAnswersWhateverTheFormat.
        function everyFormatGivesFramesShapedByItsFrameType(testCase)
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                for k = 1:numel(device.SupportedFormats)
                    formatName = device.SupportedFormats{k};
                    where = [device.DeviceName ', ' formatName];
                    vid = testCase.open(device.DeviceID, formatName);
                    driver = imaqhwinfo(vid);
                    testCase.verifyEqual(driver.VendorDriverDescription, 'Qovex Plugin for Matlab', where);
                    testCase.verifyEqual(driver.VendorDriverVersion, '3.3.0', where);
                    resolution = vid.VideoResolution;   % [width height]
                    stated = regexp(formatName, '\((\d+)x(\d+)\)\s*$', 'tokens', 'once');
                    if ~isempty(stated)
                        testCase.verifyEqual(resolution, [str2double(stated{1}) str2double(stated{2})], where);
                    end
                    layout = QVXImaqAcceptanceTest.frameLayout(formatName);
                    testCase.verifyEqual(vid.ReturnedColorSpace, layout.colorSpace, where);
                    testCase.verifyEqual(driver.NativeDataType, layout.class, where);
                    frame = getsnapshot(vid);
                    testCase.verifyClass(frame, layout.class, where);
                    testCase.verifySize(frame, QVXImaqAcceptanceTest.frameSize(resolution, layout), where);
                    % The toolbox shows the band count the adaptor reports; the data carry the frame
                    % type's bands. Both are reported, neither is taken for the other.
                    bands = vid.NumberOfBands;
                    testCase.verifyTrue(isequal(bands, 1) || isequal(bands, 3), ...
                        sprintf('%s: NumberOfBands is %s, the toolbox knows 1 or 3', where, mat2str(bands)));
                    if ~isequal(bands, size(frame, 3))
                        testCase.log(sprintf('%s: NumberOfBands %d, frames of %d band(s)', where, bands, size(frame, 3)));
                    end
                    delete(vid);
                end
            end
        end

        % Here: ToolboxAcquisition.RoiIsTheHostsCopyAndShapesTheFrames,
        % RegionOfInterest.ChangeFitsAppliesFormatFastestRateAndOffsets,
        % RegionOfInterest.SizeIsClampedAndNegativeOffsetsRoundTowardZero,
        % RegionOfInterest.DeviceWithoutRoiCapabilityReportsWholeFormat.
        function regionsAreFittedOrFramesStayWhole(testCase)
            named = QVXImaqAcceptanceTest.namedRegionCameras();
            regionCameras = {};
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                for k = 1:numel(device.SupportedFormats)
                    formatName = device.SupportedFormats{k};
                    where = [device.DeviceName ', ' formatName];
                    vid = testCase.open(device.DeviceID, formatName);
                    whole = vid.VideoResolution;
                    testCase.verifyEqual(vid.ROIPosition, [0 0 whole], [where ': a new video input is whole']);

                    % A region on a grid of 16 pixels: every step size of 1, 2, 4, 8 or 16 keeps it.
                    % What the camera delivers tells a camera with hardware regions from one that
                    % keeps whole frames.
                    aligned = 16 * floor([whole / 8, whole / 2] / 16);
                    % A camera that keeps whole frames may be told so with a warning; one with hardware
                    % regions takes this one without a word.
                    lastwarn('');
                    set(vid, 'ROIPosition', aligned);
                    warned = lastwarn();
                    frame = getsnapshot(vid);
                    isRegionCamera = ~isequal(size(frame), QVXImaqAcceptanceTest.frameSizeOf(vid, whole));
                    if isRegionCamera
                        regionCameras{end + 1} = device.DeviceName; %#ok<AGROW>
                        testCase.verifyTrue(isempty(warned), [where ': warned "' warned '"']);
                        testCase.verifyEqual(vid.ROIPosition, aligned, [where ': a region on the camera''s grid is kept']);
                        testCase.verifySize(frame, QVXImaqAcceptanceTest.frameSizeOf(vid, aligned(3:4)), where);

                        % An odd request is rounded toward zero to the camera's steps, never beyond it.
                        request = aligned + [3 3 3 3];
                        set(vid, 'ROIPosition', request);
                        odd = vid.ROIPosition;
                        testCase.verifyGreaterThanOrEqual(odd, aligned, [where ': fitted ' mat2str(odd)]);
                        testCase.verifyLessThanOrEqual(odd, request, [where ': fitted ' mat2str(odd)]);
                        testCase.verifySize(getsnapshot(vid), QVXImaqAcceptanceTest.frameSizeOf(vid, odd(3:4)), where);
                        set(vid, 'ROIPosition', odd);
                        testCase.verifyEqual(vid.ROIPosition, odd, [where ': a fitted region fits itself']);
                    else
                        testCase.verifyFalse(any(strcmp(named, device.DeviceName)), ...
                            [where ': named in QVXIMAQ_REGION_CAMERAS, but delivers whole frames']);
                    end

                    % The region cannot change while frames flow.
                    vid.FramesPerTrigger = Inf;
                    start(vid);
                    testCase.verifyRefused(@() set(vid, 'ROIPosition', [0 0 whole]), ...
                        [where ': ROIPosition while running']);
                    stop(vid);

                    set(vid, 'ROIPosition', [0 0 whole]);
                    testCase.verifyEqual(vid.ROIPosition, [0 0 whole], [where ': whole image again']);
                    testCase.verifySize(getsnapshot(vid), QVXImaqAcceptanceTest.frameSizeOf(vid, whole), [where ', whole image again']);
                    delete(vid);
                end
            end
            for k = 1:numel(named)
                testCase.verifyTrue(any(strcmp(regionCameras, named{k})), ...
                    ['QVXIMAQ_REGION_CAMERAS names "' named{k} '", which no region test reached']);
            end
        end

        % Here: ToolboxProperties.ValuesTravelAsIdsAndNumbersAndComeBackAsTheUserSeesThem,
        % Properties.EachKindReadsAndWritesItsOwnWay, ToolboxProperties.RefusedWritesNeverReachTheListener,
        % Properties.SerialNumberReadsAsTheDecimalValueOfItsHexadecimalDigits, Warnings.*.
        function everyDevicePropertyReadsAndWritesWithinItsLimits(testCase)
            checked = 0;
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                vid = testCase.open(device.DeviceID, device.SupportedFormats{1});
                src = getselectedsource(vid);
                infos = propinfo(src);
                names = fieldnames(infos);
                for k = 1:numel(names)
                    name = names{k};
                    info = infos.(name);
                    where = [device.DeviceName ', ' name];
                    specific = info.DeviceSpecific;
                    testCase.verifyTrue(isscalar(specific) && (isnumeric(specific) || islogical(specific)), ...
                        [where ': DeviceSpecific is 1 or 0']);
                    if ~isequal(double(specific), 1)
                        continue;
                    end
                    checked = checked + 1;
                    original = testCase.verifyWarningFree(@() get(src, name), [where ' reads']);
                    switch info.ReadOnly
                        case 'always'
                            testCase.verifyRefused(@() set(src, name, original), [where ' is read-only']);
                            continue;
                        case 'whileRunning'
                            vid.FramesPerTrigger = Inf;
                            start(vid);
                            testCase.verifyRefused(@() set(src, name, original), [where ' while running']);
                            stop(vid);
                        otherwise
                            testCase.verifyEqual(info.ReadOnly, 'never', where);
                    end
                    switch info.Constraint
                        case 'bounded'
                            testCase.checkBoundedProperty(src, name, infos, where);
                        case 'enum'
                            testCase.checkEnumeratedProperty(src, name, info, where);
                    end
                end
                delete(vid);
            end
            testCase.assumeGreaterThan(checked, 0, 'No camera has a device-specific property.');
        end

        % Here: Attributes.FastestRateComesFirstAndTextsAreRightAligned,
        % Properties.FrameRateIsThePositionInTheIntegerRateList, Properties.FrameRateAndInputChannelThroughTheHost,
        % Attributes.FrameRateIsLeftOutOnRegionOfInterestCameras.
        function everyFrameRateChoiceCanBeSetAndAcquires(testCase)
            withRates = 0;
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                vid = testCase.open(device.DeviceID, device.SupportedFormats{1});
                src = getselectedsource(vid);
                if ~isfield(propinfo(src), 'FrameRate')
                    delete(vid);
                    continue;
                end
                withRates = withRates + 1;
                info = propinfo(src, 'FrameRate');
                testCase.verifyEqual(info.Constraint, 'enum', device.DeviceName);
                testCase.verifyEqual(info.ReadOnly, 'whileRunning', device.DeviceName);
                choices = info.ConstraintValue;
                testCase.verifyEqual(char(info.DefaultValue), char(testCase.fastest(choices)), ...
                    [device.DeviceName ': the default frame rate is the fastest']);
                original = src.FrameRate;
                testCase.addTeardown(@QVXImaqAcceptanceTest.restore, src, 'FrameRate', original);
                for k = 1:numel(choices)
                    where = [device.DeviceName ' at ' choices{k}];
                    testCase.verifyWarningFree(@() set(src, 'FrameRate', choices{k}), where);
                    testCase.verifyEqual(char(src.FrameRate), char(choices{k}), where);
                    testCase.allowFramesAt(vid, str2double(choices{k}), 1);
                    frame = getsnapshot(vid);
                    testCase.verifySize(frame, QVXImaqAcceptanceTest.frameSizeOf(vid, vid.VideoResolution), where);
                end
                set(src, 'FrameRate', original);
                delete(vid);
            end
            testCase.assumeGreaterThan(withRates, 0, 'No camera has a FrameRate property.');
        end

        % Here: ToolboxAcquisition.GetdataStopsOnceTheWantedFramesAreIn,
        % ToolboxAcquisition.AcquiresFramesPerTriggerTimesRepeatsThenStops,
        % FrameDelivery.TwoFramesGetTwoObjectsAndTwoTimeStamps, Acquisition.ExactlyTheFramesWantedReachTheEngine,
        % ToolboxAcquisition.UnlimitedFramesFlowUntilStopped.
        function startStopAndGetdataDeliverExactlyTheFramesWanted(testCase)
            n = testCase.FrameCount;
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                where = device.DeviceName;
                vid = testCase.open(device.DeviceID, device.SupportedFormats{1});
                testCase.allowFramesAt(vid, testCase.slowestRate(vid), n);
                vid.FramesPerTrigger = n;
                start(vid);
                wait(vid, vid.Timeout);
                testCase.verifyFalse(isrunning(vid), [where ': stops by itself after the frames wanted']);
                testCase.verifyEqual(vid.FramesAcquired, n, where);
                testCase.verifyEqual(vid.FramesAvailable, n, where);
                [frames, times] = getdata(vid, n);
                testCase.verifySize(frames, [QVXImaqAcceptanceTest.frameSizeOf(vid, vid.VideoResolution, true), n], where);
                testCase.verifySize(times, [n 1], where);
                testCase.verifyTrue(all(diff(times) > 0), [where ': time stamps increase']);
                testCase.verifyEqual(vid.FramesAvailable, 0, where);

                % Unlimited frames flow until stopped.
                vid.FramesPerTrigger = Inf;
                start(vid);
                testCase.verifyTrue(isrunning(vid), where);
                deadline = tic;
                while vid.FramesAcquired < 2 && toc(deadline) < vid.Timeout
                    pause(0.05);
                end
                stop(vid);
                testCase.verifyFalse(isrunning(vid), where);
                available = vid.FramesAvailable;
                testCase.verifyGreaterThanOrEqual(available, 2, where);
                [~, times] = getdata(vid, available);
                testCase.verifyTrue(all(diff(times) > 0), [where ': time stamps increase']);
                delete(vid);
            end
        end

        % Here: AcquisitionSpacing.FrameGrabIntervalAndTriggerFrameDelayEndWithTheFramesAskedForSpacedAsDocumented,
        % CliFiles.TheIntervalKeepsEveryNthFrameTheCameraDeliversFromTheFirst.
        % An adaptor that counts only the frames it hands over never ends an acquisition with a
        % FrameGrabInterval above 1 or a TriggerFrameDelay: the wait times out. The time stamps show the
        % spacing: every third frame is about three frame times apart, and two skipped frames delay the first.
        function frameGrabIntervalAndTriggerFrameDelayEndWithTheFramesAskedFor(testCase)
            n = 4;
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                where = device.DeviceName;
                vid = testCase.open(device.DeviceID, device.SupportedFormats{1});
                testCase.allowFramesAt(vid, testCase.slowestRate(vid), 3 * n + 2);
                vid.FramesPerTrigger = n;
                everyFrame = testCase.acquireTimes(vid, 1, 0, [where ', every frame']);
                everyThird = testCase.acquireTimes(vid, 3, 0, [where ', FrameGrabInterval 3']);
                delayed = testCase.acquireTimes(vid, 1, 2, [where ', TriggerFrameDelay 2']);
                step = mean(diff(everyFrame));
                rate = testCase.slowestRate(vid);
                % A camera that delivers far faster than its FrameRate (a test camera that is not paced)
                % has no frame time to measure against: then only the counts are checked.
                if rate == 0 || step >= 0.5 / rate
                    testCase.verifyGreaterThan(mean(diff(everyThird)), 2 * step, ...
                        [where ': FrameGrabInterval 3 logs every third frame']);
                    testCase.verifyGreaterThan(delayed(1) - everyFrame(1), step, ...
                        [where ': TriggerFrameDelay 2 skips the first two frames']);
                end
                testCase.verifyRefused(@() set(vid, 'FrameGrabInterval', 0), [where ': FrameGrabInterval 0']);
                testCase.verifyRefused(@() set(vid, 'TriggerFrameDelay', -1), [where ': TriggerFrameDelay -1']);
                vid.FramesPerTrigger = Inf;
                start(vid);
                testCase.verifyRefused(@() set(vid, 'FrameGrabInterval', 2), [where ': read-only while running']);
                testCase.verifyRefused(@() set(vid, 'TriggerFrameDelay', 1), [where ': read-only while running']);
                stop(vid);
                delete(vid);
            end
        end

        % Here: DeclaredKind.AKindChangeAfterTheDescriptionNeverHandsTheHostAValueOfAnotherType,
        % Properties.EachKindReadsAndWritesItsOwnWay.
        % The adaptor moves integer values as 32 bits. Should the toolbox keep them in 64 bits, a
        % 4-byte write would leave the upper half of the toolbox's value stale: a negative value, or a
        % value after one of the other sign, would read back wrong (a negative one as a large positive
        % one). Every integer property whose range reaches below zero gets its minimum (negative), then
        % its maximum (positive where the range reaches above zero), then its minimum again, each read
        % back at once.
        function negativeIntegerValuesReadBackUnchanged(testCase)
            checked = 0;
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                vid = testCase.open(device.DeviceID, device.SupportedFormats{1});
                src = getselectedsource(vid);
                infos = propinfo(src);
                names = fieldnames(infos);
                for k = 1:numel(names)
                    name = names{k};
                    info = infos.(name);
                    % Integer properties show as 'integer' or, with whole limits, as 'double'.
                    if ~any(strcmp(info.Type, {'integer', 'double'})) || ~strcmp(info.Constraint, 'bounded') || ...
                            ~strcmp(info.ReadOnly, 'never') || info.ConstraintValue(1) >= 0 || ...
                            any(info.ConstraintValue ~= fix(info.ConstraintValue))
                        continue;
                    end
                    checked = checked + 1;
                    where = [device.DeviceName ', ' name];
                    testCase.switchAutoOff(src, name, infos);
                    testCase.addTeardown(@QVXImaqAcceptanceTest.restore, src, name, src.(name));
                    limits = info.ConstraintValue;
                    for value = [limits(1), limits(2), limits(1)]
                        testCase.verifyWarningFree(@() set(src, name, value), sprintf('%s = %d', where, value));
                        testCase.verifyEqual(double(src.(name)), double(value), ...
                            sprintf('%s = %d reads back (a wrong value here means integer values of another width)', ...
                                    where, value));
                    end
                end
                delete(vid);
            end
            testCase.assumeGreaterThan(checked, 0, 'No camera has an integer property with a negative range.');
        end

        % Here: Soak.StartStopAndCreateDestroyCyclesLeaveNothingBehind,
        % ToolboxAcquisition.DestroyingARunningVideoInputStopsAndFreesEverything,
        % InstanceCreation.DestructionStopsLiveAndClosesTheDevice.
        function videoInputsCanBeDeletedAndMadeAgain(testCase)
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                where = device.DeviceName;
                formatName = device.SupportedFormats{1};
                vid = testCase.open(device.DeviceID, formatName);
                first = getsnapshot(vid);
                delete(vid);
                testCase.verifyFalse(isvalid(vid), where);

                % Deleted while running: the device is free again for the next object.
                vid = testCase.open(device.DeviceID, formatName);
                vid.FramesPerTrigger = Inf;
                start(vid);
                delete(vid);
                testCase.verifyFalse(isvalid(vid), [where ', deleted while running']);

                for cycle = 1:3
                    vid = testCase.open(device.DeviceID, formatName);
                    again = getsnapshot(vid);
                    testCase.verifySize(again, size(first), sprintf('%s, cycle %d', where, cycle));
                    delete(vid);
                end
            end
        end
    end

    methods (Access = private)
        % A video input that is deleted when the test ends, also when a verification fails first. It
        % is made without a warning and waits long enough for slow cameras.
        function vid = open(testCase, id, formatName)
            vid = testCase.verifyWarningFree(@() videoinput(testCase.AdaptorName, id, formatName), ...
                sprintf('videoinput(''%s'', %d, ''%s'')', testCase.AdaptorName, id, formatName));
            testCase.addTeardown(@QVXImaqAcceptanceTest.deleteIfValid, vid);
            vid.Timeout = max(vid.Timeout, testCase.MinTimeout);
        end

        % A failure that MATLAB raises as an error of any identifier: the identifiers of refused
        % writes are not documented.
        function verifyRefused(testCase, f, where)
            refused = false;
            try
                f();
            catch
                refused = true;
            end
            testCase.verifyTrue(refused, [where ': accepted, but must be refused']);
        end

        % Writes the limits and reads back what the camera holds, with the matching Auto switch off;
        % the camera's own values are put back afterwards, also when a check fails first.
        function checkBoundedProperty(testCase, src, name, infos, where)
            limits = infos.(name).ConstraintValue;
            testCase.verifySize(limits, [1 2], where);
            testCase.verifyLessThan(limits(1), limits(2), where);
            testCase.switchAutoOff(src, name, infos);
            original = src.(name);
            testCase.addTeardown(@QVXImaqAcceptanceTest.restore, src, name, original);

            testCase.verifyWarningFree(@() set(src, name, limits(1)), [where ' at its minimum']);
            low = double(src.(name));
            testCase.verifyWarningFree(@() set(src, name, limits(2)), [where ' at its maximum']);
            high = double(src.(name));
            % A camera with steps may round a limit, but what it holds stays within the limits and
            % nearer to the limit written than to the other one.
            middle = (limits(1) + limits(2)) / 2;
            testCase.verifyGreaterThanOrEqual(low, limits(1), [where ' read after writing its minimum']);
            testCase.verifyLessThan(low, middle, [where ' read after writing its minimum']);
            testCase.verifyLessThanOrEqual(high, limits(2), [where ' read after writing its maximum']);
            testCase.verifyGreaterThan(high, middle, [where ' read after writing its maximum']);

            above = limits(2) + max(1, 4 * eps(limits(2)));
            below = limits(1) - max(1, 4 * eps(limits(1)));
            testCase.verifyRefused(@() set(src, name, above), [where ' above its maximum']);
            testCase.verifyRefused(@() set(src, name, below), [where ' below its minimum']);
            testCase.verifyEqual(double(src.(name)), high, [where ' after refused writes']);

            testCase.verifyWarningFree(@() set(src, name, original), [where ' back to its value']);
            testCase.verifyEqual(double(src.(name)), double(original), [where ' back to its value']);
        end

        % Writes every value of the list and reads it back; the camera's own value is put back.
        function checkEnumeratedProperty(testCase, src, name, info, where)
            values = info.ConstraintValue;
            testCase.verifyTrue(iscellstr(values) && ~isempty(values), [where ': values are texts']);
            testCase.verifyTrue(any(strcmp(values, info.DefaultValue)), [where ': the default is a value']);
            original = src.(name);
            testCase.addTeardown(@QVXImaqAcceptanceTest.restore, src, name, original);
            for k = 1:numel(values)
                testCase.verifyWarningFree(@() set(src, name, values{k}), [where ' = ' values{k}]);
                testCase.verifyEqual(src.(name), values{k}, [where ' = ' values{k}]);
                % Each value is taken back at once: switches like a trigger mode stop the frames.
                set(src, name, original);
            end
            testCase.verifyRefused(@() set(src, name, 'NoSuchValue'), [where ' unknown value']);
            testCase.verifyEqual(src.(name), original, [where ' back to its value']);
        end

        % Switches the property's automatic mode (NAME + "Auto") off for the rest of the test.
        function switchAutoOff(testCase, src, name, infos)
            auto = [name 'Auto'];
            if ~isfield(infos, auto) || ~any(strcmp(infos.(auto).ConstraintValue, 'Off'))
                return;
            end
            original = src.(auto);
            testCase.addTeardown(@QVXImaqAcceptanceTest.restore, src, auto, original);
            set(src, auto, 'Off');
        end

        % The time stamps of one acquisition of FramesPerTrigger frames with the given spacing, which must end
        % by itself with exactly those frames.
        function times = acquireTimes(testCase, vid, interval, delay, where)
            vid.FrameGrabInterval = interval;
            vid.TriggerFrameDelay = delay;
            n = vid.FramesPerTrigger;
            start(vid);
            wait(vid, vid.Timeout);
            testCase.verifyFalse(isrunning(vid), [where ': stops by itself after the frames wanted']);
            testCase.verifyEqual(vid.FramesAcquired, n, [where ': FramesAcquired counts the frames logged']);
            [~, times] = getdata(vid, n);
            testCase.verifyTrue(all(diff(times) > 0), [where ': time stamps increase']);
            vid.FrameGrabInterval = 1;
            vid.TriggerFrameDelay = 0;
        end

        % A timeout long enough for frames at the given rate (frames per second; 0: not known).
        function allowFramesAt(testCase, vid, rate, frames)
            if rate > 0
                vid.Timeout = max([vid.Timeout, testCase.MinTimeout, 5 + 3 * frames / rate]);
            end
        end

        % The slowest rate the video input may deliver at: its FrameRate, or 0 when it has none.
        function rate = slowestRate(testCase, vid)
            rate = 0;
            src = getselectedsource(vid);
            if isfield(propinfo(src), 'FrameRate')
                rate = str2double(src.FrameRate);
            end
            testCase.assertFalse(isnan(rate));
        end
    end

    methods (Static, Access = private)
        function deleteIfValid(vid)
            if isvalid(vid)
                delete(vid);
            end
        end

        function restore(src, name, value)
            if isvalid(src)
                set(src, name, value);
            end
        end

        % The size getsnapshot gives for a region of [width height]; getdata adds a band dimension of 1
        % for monochrome frames (withBands).
        function dims = frameSizeOf(vid, region, withBands)
            layout = QVXImaqAcceptanceTest.frameLayout(vid.VideoFormat);
            dims = QVXImaqAcceptanceTest.frameSize(region, layout);
            if nargin > 2 && withBands && numel(dims) == 2
                dims(3) = 1;
            end
        end

        function names = namedRegionCameras()
            names = {};
            named = getenv('QVXIMAQ_REGION_CAMERAS');
            if ~isempty(named)
                names = strtrim(strsplit(named, ';'));
            end
        end

        % What a format's frames are, by the colour format the format's name starts with (after the
        % norm on devices with video norms): the adaptor's table of frame types.
        function layout = frameLayout(formatName)
            colour = regexp(formatName, '^(?:[^:\s]*:)?(\S+)', 'tokens', 'once');
            layout = struct('class', 'uint8', 'bands', 3, 'colorSpace', 'rgb');
            if isempty(colour)
                return;
            end
            switch colour{1}
                case 'Y800'
                    layout = struct('class', 'uint8', 'bands', 1, 'colorSpace', 'grayscale');
                case 'Y16'
                    layout = struct('class', 'uint16', 'bands', 1, 'colorSpace', 'grayscale');
            end
        end

        % Height x width for one band, height x width x bands otherwise.
        function dims = frameSize(region, layout)
            dims = [region(2) region(1)];
            if layout.bands > 1
                dims(3) = layout.bands;
            end
        end

        function choice = fastest(choices)
            [~, k] = max(str2double(choices));
            choice = choices{k};
        end
    end
end
