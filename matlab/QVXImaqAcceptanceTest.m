% QVXImaqAcceptanceTest: checks the QVXImaq adaptor against the cameras connected to this computer.
%
% Register the adaptor first, then run the tests from this folder:
%
%   imaqregister('C:\qvximaq\QVXImaq.dll'); imaqreset;
%   results = runtests('QVXImaqAcceptanceTest'); table(results)
%
% Every test walks all devices the adaptor reports and all their formats. The comment above each
% test names the tests of the repository's suite (tests/, run against the stand-ins of the toolbox
% and the grabber library) that cover the same behaviour.
%
% The cameras are left as the tests found them. The tests write every writable property at its
% limits and put back every value they touched, automatic modes included (each under the selector
% values, a TriggerSelector's, it was read with, and what a region change alters too), before each video
% input is deleted, also when a check fails first; the last step compares every device property of every
% device with its value before the tests ran, under every value of each selector. Buttons (properties
% whose single value is "Push") fire an action on the camera that cannot be undone, so they are only
% checked by their declaration, unless the device is named in QVXIMAQ_PUSH_BUTTONS. A camera whose
% settings must not be touched at all should not be connected while the tests run.
%
% Environment variables, each a list of device names separated by ";", set before running the tests:
% - QVXIMAQ_REGION_CAMERAS: cameras that must have hardware regions of interest (one that delivers
%   whole frames then fails). Cameras with hardware regions deliver the region itself; the others
%   deliver whole frames whatever ROIPosition asks, and the tests tell them apart by what they deliver.
% - QVXIMAQ_PUSH_BUTTONS: cameras whose buttons the tests push.
% - QVXIMAQ_UNPACED_CAMERAS: cameras that deliver frames as fast as they can rather than at their
%   FrameRate; the spacing of their frames is not held to the rate.
% And QVXIMAQ_DEVICE_PROPERTIES, JSON text: [{"DeviceName": "...", "Properties": ["SerialNo", ...]}, ...],
% the device-specific properties each named device must publish, no more and no fewer.
classdef QVXImaqAcceptanceTest < matlab.unittest.TestCase

    properties (Constant)
        AdaptorName = 'qvximaq';
        FrameCount = 5;        % frames per getdata check
        MinTimeout = 30;       % seconds a video input waits for frames at the least
        RateTolerance = 0.25;  % frame spacing within this share of 1/FrameRate
        % Settings of the grabber's session, which each new video input starts afresh; every other
        % device property lives in the camera.
        SessionProperties = {'FrameRate', 'InputChannel'};
    end

    properties
        Info     % imaqhwinfo of the adaptor
        Before   % per device: every device property's value before the tests ran (deviceValues)
    end

    methods (TestClassSetup)
        function findTheAdaptorAndRecordTheCameras(testCase)
            installed = imaqhwinfo;
            testCase.assertTrue(any(strcmpi(installed.InstalledAdaptors, testCase.AdaptorName)), ...
                'The adaptor "qvximaq" is not registered: run imaqregister with the path of QVXImaq.dll.');
            testCase.Info = imaqhwinfo(testCase.AdaptorName);
            testCase.assumeNotEmpty(testCase.Info.DeviceIDs, 'No camera of the adaptor is connected.');
            devices = testCase.Info.DeviceInfo;
            testCase.Before = cell(1, numel(devices));
            for d = 1:numel(devices)
                testCase.Before{d} = QVXImaqAcceptanceTest.deviceValues(devices(d).DeviceID);
            end
        end
    end

    methods (TestClassTeardown)
        % Here: Properties.EachKindReadsAndWritesItsOwnWay (values are read from the camera itself).
        function everyDevicePropertyHoldsItsValueFromBefore(testCase)
            for d = 1:numel(testCase.Before)
                devices = testCase.Info.DeviceInfo;
                before = testCase.Before{d};
                after = QVXImaqAcceptanceTest.deviceValues(devices(d).DeviceID);
                names = before.keys();
                for k = 1:numel(names)
                    where = sprintf('%s, %s after the tests', devices(d).DeviceName, names{k});
                    testCase.verifyTrue(isKey(after, names{k}), [where ': no longer published']);
                    if isKey(after, names{k})
                        testCase.verifyEqual(after(names{k}), before(names{k}), [where ': as before the tests']);
                    end
                end
            end
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
                testCase.verifyTrue(any(strcmp(formats, device.DefaultFormat)), ...
                    [name ': the default format "' device.DefaultFormat '" is one of the supported formats']);
                withNorm = ~cellfun(@isempty, strfind(formats, ':'));
                if any(withNorm)
                    % A device with video norms names every format "norm:format".
                    for k = 1:numel(formats)
                        parts = regexp(formats{k}, '^([^:]+):(.+)$', 'tokens', 'once');
                        testCase.verifyNotEmpty(parts, [name ': "' formats{k} '" is not "norm:format"']);
                    end
                end
            end
            % Names the caller gave must be devices here: a misspelt one would check nothing.
            known = {info.DeviceInfo.DeviceName};
            expected = QVXImaqAcceptanceTest.expectedProperties();
            named = [QVXImaqAcceptanceTest.namedDevices('QVXIMAQ_PUSH_BUTTONS'), ...
                     QVXImaqAcceptanceTest.namedDevices('QVXIMAQ_UNPACED_CAMERAS'), {expected.DeviceName}];
            for k = 1:numel(named)
                testCase.verifyTrue(any(strcmp(known, named{k})), ['"' named{k} '" is named, but not connected']);
            end
        end

        % Here: Discovery.NormPathCountsFormatsFromOneOverAllNorms and
        % Discovery.DescriptorPathReportsEachDescriptorAtItsLargestSizeFromZero (no format is flagged as
        % the default, so the toolbox chooses it), InstanceCreation.FixedAnswersWhateverTheFormat.
        function theConstructorShownToUsersMakesAWorkingVideoInput(testCase)
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                where = [device.DeviceName ': ' device.VideoInputConstructor];
                vid = testCase.verifyWarningFree(@() eval(device.VideoInputConstructor), where);
                testCase.addTeardown(@QVXImaqAcceptanceTest.deleteIfValid, vid);
                testCase.verifyEqual(vid.VideoFormat, device.DefaultFormat, [where ': the default format']);
                testCase.verifySize(getsnapshot(vid), QVXImaqAcceptanceTest.frameSizeOf(vid, vid.VideoResolution), where);
                delete(vid);
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
                        % Terse: the level runtests shows by default.
                        testCase.log(1, sprintf('%s: NumberOfBands %d, frames of %d band(s)', where, bands, size(frame, 3)));
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
            named = QVXImaqAcceptanceTest.namedDevices('QVXIMAQ_REGION_CAMERAS');
            regionCameras = {};
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                for k = 1:numel(device.SupportedFormats)
                    formatName = device.SupportedFormats{k};
                    where = [device.DeviceName ', ' formatName];
                    [vid, ledger] = testCase.open(device.DeviceID, formatName);
                    whole = vid.VideoResolution;
                    testCase.verifyEqual(vid.ROIPosition, [0 0 whole], [where ': a new video input is whole']);
                    % A region change sets the fastest frame rate of the format, in the camera too: the
                    % device properties are put back after the whole image is.
                    QVXImaqAcceptanceTest.rememberWritable(ledger, getselectedsource(vid));

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
                        [where ': ROIPosition while running'], 'ROIPosition', [0 0 whole]);
                    stop(vid);
                    flushdata(vid);

                    set(vid, 'ROIPosition', [0 0 whole]);
                    testCase.verifyEqual(vid.ROIPosition, [0 0 whole], [where ': whole image again']);
                    testCase.verifySize(getsnapshot(vid), QVXImaqAcceptanceTest.frameSizeOf(vid, whole), [where ', whole image again']);
                    testCase.close(vid, ledger);
                end
            end
            for k = 1:numel(named)
                testCase.verifyTrue(any(strcmp(regionCameras, named{k})), ...
                    ['QVXIMAQ_REGION_CAMERAS names "' named{k} '", which no region test reached']);
            end
        end

        % Here: ToolboxProperties.ValuesTravelAsIdsAndNumbersAndComeBackAsTheUserSeesThem,
        % Properties.EachKindReadsAndWritesItsOwnWay, ToolboxProperties.RefusedWritesNeverReachTheListener,
        % Properties.SerialNumberReadsAsTheDecimalValueOfItsHexadecimalDigits,
        % Properties.AButtonReadsNothingAndIsPushedWhateverTheValue, Catalogue.ButtonOffersPush,
        % Catalogue.WalkOrderIsTheOrderOfHostCalls, Attributes.FrameRateIsLeftOutOnRegionOfInterestCameras,
        % Warnings.*.
        function everyDevicePropertyReadsAndWritesWithinItsLimits(testCase)
            checked = 0;
            pushing = QVXImaqAcceptanceTest.namedDevices('QVXIMAQ_PUSH_BUTTONS');
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                for f = 1:numel(device.SupportedFormats)
                    formatName = device.SupportedFormats{f};
                    [vid, ledger] = testCase.open(device.DeviceID, formatName);
                    src = getselectedsource(vid);
                    infos = propinfo(src);
                    names = fieldnames(infos);
                    specific = {};
                    for k = 1:numel(names)
                        name = names{k};
                        info = infos.(name);
                        where = [device.DeviceName ', ' formatName ', ' name];
                        flag = info.DeviceSpecific;
                        testCase.verifyTrue(isscalar(flag) && (isnumeric(flag) || islogical(flag)), ...
                            [where ': DeviceSpecific is 1 or 0']);
                        if ~isequal(double(flag), 1)
                            continue;
                        end
                        specific{end + 1} = name; %#ok<AGROW>
                        checked = checked + 1;
                        if QVXImaqAcceptanceTest.isButton(info)
                            testCase.checkButton(src, name, info, any(strcmp(pushing, device.DeviceName)), where);
                            continue;
                        end
                        original = testCase.verifyWarningFree(@() get(src, name), [where ' reads']);
                        switch info.ReadOnly
                            case 'always'
                                testCase.verifyRefused(@() set(src, name, original), [where ' is read-only'], ...
                                                       name, original);
                                continue;
                            case 'whileRunning'
                                vid.FramesPerTrigger = Inf;
                                start(vid);
                                testCase.verifyRefused(@() set(src, name, original), [where ' while running'], ...
                                                       name, original);
                                stop(vid);
                                flushdata(vid);
                            otherwise
                                testCase.verifyEqual(info.ReadOnly, 'never', where);
                        end
                        switch info.Constraint
                            case 'bounded'
                                testCase.checkBoundedProperty(src, name, infos, ledger, where);
                            case 'enum'
                                testCase.checkEnumeratedProperty(src, name, info, ledger, where);
                        end
                    end
                    testCase.checkPublishedNames(device.DeviceName, specific, [device.DeviceName ', ' formatName]);
                    testCase.close(vid, ledger);
                end
            end
            testCase.assumeGreaterThan(checked, 0, 'No camera has a device-specific property.');
        end

        % A read-back only shows that the host and the adaptor agree; a new video input reads what the
        % camera itself holds.
        % Here: Properties.EachKindReadsAndWritesItsOwnWay, Properties.NamesAreFormedAsTheCatalogueFormsThem,
        % Properties.FrameRateAndInputChannelThroughTheHost.
        function writtenValuesAreKeptByTheCamera(testCase)
            kept = 0;
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                formatName = device.SupportedFormats{1};
                [vid, ledger] = testCase.open(device.DeviceID, formatName);
                src = getselectedsource(vid);
                infos = propinfo(src);
                names = fieldnames(infos);
                % Selectors first, so that what follows is written to the instance they choose; then
                % automatic modes go off, so that they cannot change the values written after.
                selectors = cellfun(@(name) QVXImaqAcceptanceTest.isSelector(name, infos), names);
                autos = cellfun(@(name) QVXImaqAcceptanceTest.isAutoSwitch(name, infos), names) & ~selectors;
                names = [names(selectors); names(autos); names(~autos & ~selectors)];
                held = struct();
                chosen = struct();
                for k = 1:numel(names)
                    name = names{k};
                    info = infos.(name);
                    if ~isequal(double(info.DeviceSpecific), 1) || strcmp(info.ReadOnly, 'always') || ...
                            QVXImaqAcceptanceTest.isButton(info) || any(strcmp(testCase.SessionProperties, name))
                        continue;
                    end
                    original = get(src, name);
                    if QVXImaqAcceptanceTest.isAutoSwitch(name, infos)
                        value = 'Off';
                    else
                        value = QVXImaqAcceptanceTest.otherValue(info, original);
                    end
                    if isempty(value) || isequal(value, original)
                        continue;
                    end
                    QVXImaqAcceptanceTest.remember(ledger, src, name);
                    testCase.verifyWarningFree(@() set(src, name, value), [device.DeviceName ', ' name ' written']);
                    if QVXImaqAcceptanceTest.isSelector(name, infos)
                        chosen.(name) = get(src, name);
                    else
                        held.(name) = get(src, name);
                    end
                end
                delete(vid);   % the values stay in the camera; the next video input puts them back

                vid = testCase.open(device.DeviceID, formatName, ledger);
                src = getselectedsource(vid);
                % A selector only chooses what the selected properties show, and a camera need not keep
                % it (Aravis's fake holds it in its description: a new video input shows its first
                % value): it is chosen again, and the values are read under it.
                picked = fieldnames(chosen);
                for k = 1:numel(picked)
                    set(src, picked{k}, chosen.(picked{k}));
                end
                written = fieldnames(held);
                for k = 1:numel(written)
                    where = sprintf('%s, %s read by a new video input', device.DeviceName, written{k});
                    testCase.verifyEqual(get(src, written{k}), held.(written{k}), where);
                    kept = kept + 1;
                end
                testCase.close(vid, ledger);
            end
            testCase.assumeGreaterThan(kept, 0, 'No camera has a writable property of its own.');
        end

        % Here: Attributes.FastestRateComesFirstAndTextsAreRightAligned,
        % Properties.FrameRateIsThePositionInTheIntegerRateList, Properties.FrameRateAndInputChannelThroughTheHost,
        % Attributes.FrameRateIsLeftOutOnRegionOfInterestCameras, FrameDelivery.TwoFramesGetTwoObjectsAndTwoTimeStamps.
        function everyFrameRateChoicePacesTheFrames(testCase)
            withRates = 0;
            unpaced = QVXImaqAcceptanceTest.namedDevices('QVXIMAQ_UNPACED_CAMERAS');
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                for f = 1:numel(device.SupportedFormats)
                    formatName = device.SupportedFormats{f};
                    [vid, ledger] = testCase.open(device.DeviceID, formatName);
                    src = getselectedsource(vid);
                    if ~isfield(propinfo(src), 'FrameRate')
                        delete(vid);
                        continue;
                    end
                    withRates = withRates + 1;
                    info = propinfo(src, 'FrameRate');
                    where = [device.DeviceName ', ' formatName];
                    testCase.verifyEqual(info.Constraint, 'enum', where);
                    testCase.verifyEqual(info.ReadOnly, 'whileRunning', where);
                    choices = info.ConstraintValue;
                    testCase.verifyEqual(char(info.DefaultValue), char(testCase.fastest(choices)), ...
                        [where ': the default frame rate is the fastest']);
                    QVXImaqAcceptanceTest.remember(ledger, src, 'FrameRate');
                    for k = 1:numel(choices)
                        at = [where ' at ' choices{k}];
                        testCase.verifyWarningFree(@() set(src, 'FrameRate', choices{k}), at);
                        testCase.verifyEqual(char(src.FrameRate), char(choices{k}), at);
                        rate = str2double(choices{k});
                        testCase.acquireAndCheckTimes(vid, rate, any(strcmp(unpaced, device.DeviceName)), at);
                    end
                    testCase.close(vid, ledger);
                end
            end
            testCase.assumeGreaterThan(withRates, 0, 'No camera has a FrameRate property.');
        end

        % Here: ToolboxAcquisition.GetdataStopsOnceTheWantedFramesAreIn,
        % ToolboxAcquisition.AcquiresFramesPerTriggerTimesRepeatsThenStops,
        % FrameDelivery.TwoFramesGetTwoObjectsAndTwoTimeStamps, Acquisition.ExactlyTheFramesWantedReachTheEngine,
        % ToolboxAcquisition.UnlimitedFramesFlowUntilStopped.
        function startStopAndGetdataDeliverExactlyTheFramesWanted(testCase)
            unpaced = QVXImaqAcceptanceTest.namedDevices('QVXIMAQ_UNPACED_CAMERAS');
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                for f = 1:numel(device.SupportedFormats)
                    where = [device.DeviceName ', ' device.SupportedFormats{f}];
                    vid = testCase.open(device.DeviceID, device.SupportedFormats{f});
                    testCase.acquireAndCheckTimes(vid, testCase.rateOf(vid), any(strcmp(unpaced, device.DeviceName)), where);

                    % Unlimited frames flow until stopped.
                    vid.FramesPerTrigger = Inf;
                    start(vid);
                    testCase.verifyTrue(isrunning(vid), where);
                    testCase.waitForFrames(vid, 2);
                    stop(vid);
                    testCase.verifyFalse(isrunning(vid), where);
                    available = vid.FramesAvailable;
                    testCase.verifyGreaterThanOrEqual(available, 2, where);
                    testCase.verifyEqual(vid.FramesAcquired, available, [where ': every frame acquired is logged']);
                    [~, times] = getdata(vid, available);
                    testCase.verifyTrue(all(diff(times) > 0), [where ': time stamps increase']);
                    testCase.verifyEqual(vid.FramesAvailable, 0, where);
                    delete(vid);
                end
            end
        end

        % Here: ToolboxAcquisition.SnapshotWhileRunningCopiesALoggedFrameAndLeavesTheCountsAlone,
        % ToolboxAcquisition.SnapshotIsAnAcquisitionOfItsOwn.
        function snapshotsWhileRunningLeaveTheAcquisitionAlone(testCase)
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                where = [device.DeviceName ', getsnapshot while running'];
                vid = testCase.open(device.DeviceID, device.SupportedFormats{1});
                vid.FramesPerTrigger = Inf;
                start(vid);
                testCase.waitForFrames(vid, 1);
                frame = testCase.verifyWarningFree(@() getsnapshot(vid), where);
                testCase.verifyClass(frame, QVXImaqAcceptanceTest.frameLayout(vid.VideoFormat).class, where);
                testCase.verifySize(frame, QVXImaqAcceptanceTest.frameSizeOf(vid, vid.VideoResolution), where);
                testCase.verifyTrue(isrunning(vid), [where ': the acquisition goes on']);
                stop(vid);
                testCase.verifyEqual(vid.FramesAvailable, vid.FramesAcquired, ...
                    [where ': the logged frames are all there, and no more']);
                flushdata(vid);
                delete(vid);
            end
        end

        % Here: AcquisitionSpacing.FrameGrabIntervalAndTriggerFrameDelayEndWithTheFramesAskedForSpacedAsDocumented,
        % CliFiles.TheIntervalKeepsEveryNthFrameTheCameraDeliversFromTheFirst.
        % An adaptor that counts only the frames it hands over never ends an acquisition with a
        % FrameGrabInterval above 1 or a TriggerFrameDelay: the wait times out. The time stamps show the
        % spacing: every third frame is about three frame times apart, and two skipped frames open every
        % trigger. Two triggers follow each other on a stream that keeps running, so the gap between them
        % shows the skipped frames; a first frame alone would not, since a camera that runs freely is
        % anywhere in its frame period, and some way into starting, when an acquisition begins.
        function frameGrabIntervalAndTriggerFrameDelayEndWithTheFramesAskedFor(testCase)
            n = 3;
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                where = device.DeviceName;
                vid = testCase.open(device.DeviceID, device.SupportedFormats{1});
                testCase.allowFramesAt(vid, testCase.rateOf(vid), 2 * (3 * n + 2));
                vid.FramesPerTrigger = n;
                vid.TriggerRepeat = 1;
                everyFrame = testCase.acquireTimes(vid, 1, 0, [where ', every frame']);
                everyThird = testCase.acquireTimes(vid, 3, 0, [where ', FrameGrabInterval 3']);
                delayed = testCase.acquireTimes(vid, 1, 2, [where ', TriggerFrameDelay 2']);
                vid.TriggerRepeat = 0;
                step = mean(diff(everyFrame));
                rate = testCase.rateOf(vid);
                % A camera that delivers far faster than its FrameRate (a test camera that is not paced)
                % has no frame time to measure against: then only the counts are checked. A host that
                % fell behind its camera (a loaded machine) stamps frames further apart than the camera
                % sends them: the frame time is then the camera's own.
                if rate == 0 || step >= 0.5 / rate
                    period = step;
                    if rate > 0
                        period = min(step, 1 / rate);
                    end
                    withinTriggers = diff(everyThird(:));
                    withinTriggers(n) = []; % the gap from one trigger's last frame to the next one's first
                    testCase.verifyGreaterThan(mean(withinTriggers), 2 * period, ...
                        [where ': FrameGrabInterval 3 logs every third frame']);
                    testCase.verifyGreaterThan(delayed(n + 1) - delayed(n), 2 * period, ...
                        [where ': TriggerFrameDelay 2 skips two frames after each trigger']);
                end
                testCase.verifyRefused(@() set(vid, 'FrameGrabInterval', 0), [where ': FrameGrabInterval 0'], ...
                                       'FrameGrabInterval', 0);
                testCase.verifyRefused(@() set(vid, 'TriggerFrameDelay', -1), [where ': TriggerFrameDelay -1'], ...
                                       'TriggerFrameDelay', -1);
                vid.FramesPerTrigger = Inf;
                start(vid);
                testCase.verifyRefused(@() set(vid, 'FrameGrabInterval', 2), [where ': read-only while running'], ...
                                       'FrameGrabInterval', 2);
                testCase.verifyRefused(@() set(vid, 'TriggerFrameDelay', 1), [where ': read-only while running'], ...
                                       'TriggerFrameDelay', 1);
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
                [vid, ledger] = testCase.open(device.DeviceID, device.SupportedFormats{1});
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
                    if QVXImaqAcceptanceTest.isAutoSwitch([name 'Auto'], infos)
                        QVXImaqAcceptanceTest.remember(ledger, src, [name 'Auto']);
                        set(src, [name 'Auto'], 'Off');
                    end
                    QVXImaqAcceptanceTest.remember(ledger, src, name);
                    limits = info.ConstraintValue;
                    for value = [limits(1), limits(2), limits(1)]
                        testCase.verifyWarningFree(@() set(src, name, value), sprintf('%s = %d', where, value));
                        testCase.verifyEqual(double(src.(name)), double(value), ...
                            sprintf('%s = %d reads back (a wrong value here means integer values of another width)', ...
                                    where, value));
                    end
                end
                testCase.close(vid, ledger);
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
        % A video input that is deleted when the test ends, also when a check fails first. Before it
        % is deleted, the values noted in its ledger (a new one, or the one given) are put back. It
        % is made without a warning and waits long enough for slow cameras.
        function [vid, ledger] = open(testCase, id, formatName, ledger)
            if nargin < 4
                ledger = containers.Map('KeyType', 'double', 'ValueType', 'any');
            end
            vid = testCase.verifyWarningFree(@() videoinput(testCase.AdaptorName, id, formatName), ...
                sprintf('videoinput(''%s'', %d, ''%s'')', testCase.AdaptorName, id, formatName));
            testCase.addTeardown(@QVXImaqAcceptanceTest.putBackOrFail, vid, ledger);
            vid.Timeout = max(vid.Timeout, testCase.MinTimeout);
        end

        % Puts back what the ledger noted and deletes the video input.
        function close(testCase, vid, ledger)
            problems = QVXImaqAcceptanceTest.putBackAndDelete(vid, ledger);
            testCase.verifyEmpty(problems, 'Every value written is put back');
        end

        % A refusal of that very write: MATLAB raises it with an identifier that is not documented, so
        % its message must name the property or the value (when given). An error about something else
        % (a function that does not exist, an invalid object) is no refusal.
        function verifyRefused(testCase, f, where, name, value)
            if nargin < 5
                value = name;
            end
            refused = false;
            message = 'accepted';
            try
                f();
            catch err
                message = err.message;
                unrelated = any(strcmp(err.identifier, {'MATLAB:UndefinedFunction', 'Octave:undefined-function', ...
                                                        'MATLAB:class:InvalidHandle'})) || ...
                            ~isempty(regexpi([err.identifier ' ' err.message], 'invalid ?object', 'once'));
                refused = ~unrelated && (~isempty(strfind(err.message, name)) || ...
                                         ~isempty(strfind(err.message, QVXImaqAcceptanceTest.valueText(value))));
            end
            testCase.verifyTrue(refused, sprintf('%s: must be refused with a message about %s, found: %s', ...
                                                 where, name, message));
        end

        % Writes the limits and reads back what the camera holds, with the matching Auto switch off.
        function checkBoundedProperty(testCase, src, name, infos, ledger, where)
            limits = infos.(name).ConstraintValue;
            testCase.verifySize(limits, [1 2], where);
            testCase.verifyLessThan(limits(1), limits(2), where);
            if QVXImaqAcceptanceTest.isAutoSwitch([name 'Auto'], infos)
                QVXImaqAcceptanceTest.remember(ledger, src, [name 'Auto']);
                set(src, [name 'Auto'], 'Off');
            end
            QVXImaqAcceptanceTest.remember(ledger, src, name);
            original = src.(name);

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
            testCase.verifyRefused(@() set(src, name, above), [where ' above its maximum'], name, above);
            testCase.verifyRefused(@() set(src, name, below), [where ' below its minimum'], name, below);
            testCase.verifyEqual(double(src.(name)), high, [where ' after refused writes']);

            testCase.verifyWarningFree(@() set(src, name, original), [where ' back to its value']);
            testCase.verifyEqual(double(src.(name)), double(original), [where ' back to its value']);
        end

        % Writes every value of the list and reads it back.
        function checkEnumeratedProperty(testCase, src, name, info, ledger, where)
            values = info.ConstraintValue;
            testCase.verifyTrue(iscellstr(values) && ~isempty(values), [where ': values are texts']);
            testCase.verifyTrue(any(strcmp(values, info.DefaultValue)), [where ': the default is a value']);
            QVXImaqAcceptanceTest.remember(ledger, src, name);
            original = src.(name);
            for k = 1:numel(values)
                testCase.verifyWarningFree(@() set(src, name, values{k}), [where ' = ' values{k}]);
                testCase.verifyEqual(src.(name), values{k}, [where ' = ' values{k}]);
                % Each value is taken back at once: switches like a trigger mode stop the frames.
                set(src, name, original);
            end
            testCase.verifyRefused(@() set(src, name, 'NoSuchValue'), [where ' unknown value'], name, 'NoSuchValue');
            testCase.verifyEqual(src.(name), original, [where ' back to its value']);
        end

        % A button fires an action that cannot be undone: its declaration is checked, and it is pushed
        % (once) only on a device named in QVXIMAQ_PUSH_BUTTONS.
        function checkButton(testCase, src, name, info, push, where)
            testCase.verifyEqual(info.Type, 'string', [where ': a button is enumerated']);
            testCase.verifyEqual(info.ReadOnly, 'never', [where ': a button can be pushed']);
            testCase.verifyEqual(char(info.DefaultValue), 'Push', where);
            if push
                testCase.verifyWarningFree(@() set(src, name, 'Push'), [where ' pushed']);
                testCase.verifyEqual(src.(name), 'Push', [where ' after the push']);
            end
        end

        % The names CI expects of a device, when it expects any: a missing one and one too many fail.
        function checkPublishedNames(testCase, deviceName, published, where)
            expected = QVXImaqAcceptanceTest.expectedProperties();
            k = find(strcmp({expected.DeviceName}, deviceName), 1);
            if isempty(k)
                return;
            end
            wanted = {};
            if ~isempty(expected(k).Properties)
                wanted = cellstr(expected(k).Properties);
            end
            missing = reshape(setdiff(wanted, published), 1, []);
            extra = reshape(setdiff(published, wanted), 1, []);
            testCase.verifyEmpty(missing, [where ': device properties missing: ' strjoin(missing, ', ')]);
            testCase.verifyEmpty(extra, [where ': device properties published but not expected: ' strjoin(extra, ', ')]);
        end

        % A few frames (at least four: the spacing is the median of three or more), then their time
        % stamps: the first within the Timeout after the trigger, each later than the one before, and
        % spaced by 1/rate where the rate is known (rate 0: not known) and paces the frames: an unpaced
        % camera delivers as fast as the computer takes its frames.
        function acquireAndCheckTimes(testCase, vid, rate, unpaced, where)
            % Up to half a second of frames: the median spacing stands firm against one late frame.
            n = testCase.FrameCount;
            if ~unpaced
                n = max(n, min(8, ceil(0.5 * rate)));
            end
            testCase.allowFramesAt(vid, rate, n);
            vid.FramesPerTrigger = n;
            start(vid);
            wait(vid, vid.Timeout);
            testCase.verifyFalse(isrunning(vid), [where ': stops by itself after the frames wanted']);
            testCase.verifyEqual(vid.FramesAcquired, n, where);
            testCase.verifyEqual(vid.FramesAvailable, n, where);
            [frames, times] = getdata(vid, n);
            testCase.verifySize(frames, [QVXImaqAcceptanceTest.frameSizeOf(vid, vid.VideoResolution, true), n], where);
            testCase.verifySize(times, [n 1], where);
            testCase.verifyEqual(vid.FramesAvailable, 0, where);
            testCase.verifyTrue(all(diff(times) > 0), [where ': time stamps increase']);
            testCase.verifyGreaterThanOrEqual(times(1), 0, [where ': the first frame comes after the trigger']);
            testCase.verifyLessThanOrEqual(times(1), vid.Timeout, ...
                [where ': the first frame comes within the Timeout after the trigger (time stamps in seconds)']);
            if rate > 0 && ~unpaced
                spacing = median(diff(times));
                period = 1 / rate;
                testCase.verifyGreaterThanOrEqual(spacing, (1 - testCase.RateTolerance) * period, ...
                    sprintf('%s: frames %.4f s apart, at most %.0f%% faster than 1/rate', where, spacing, ...
                            100 * testCase.RateTolerance));
                testCase.verifyLessThanOrEqual(spacing, (1 + testCase.RateTolerance) * period, ...
                    sprintf('%s: frames %.4f s apart, at most %.0f%% slower than 1/rate', where, spacing, ...
                            100 * testCase.RateTolerance));
            end
        end

        function waitForFrames(testCase, vid, frames)
            started = tic;
            while vid.FramesAcquired < frames && toc(started) < vid.Timeout
                pause(0.02);
            end
            testCase.verifyGreaterThanOrEqual(vid.FramesAcquired, frames, 'frames come once started');
        end

        % The time stamps of one acquisition of FramesPerTrigger frames with the given spacing, which must end
        % by itself with exactly those frames.
        function times = acquireTimes(testCase, vid, interval, delay, where)
            vid.FrameGrabInterval = interval;
            vid.TriggerFrameDelay = delay;
            n = vid.FramesPerTrigger * (vid.TriggerRepeat + 1);
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

        % The video input's FrameRate in frames per second, or 0 when it has none.
        function rate = rateOf(testCase, vid)
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

        % Notes a property's value before the first write to it, so that it can be put back, with the
        % values the selectors held then: a selected property is put back under the instance it was
        % read from.
        function remember(ledger, src, name)
            entries = ledger.values();
            if any(cellfun(@(entry) strcmp(entry{1}, name), entries))
                return;
            end
            ledger(ledger.Count + 1) = {name, get(src, name), QVXImaqAcceptanceTest.selectorValues(src, name)};
        end

        % Notes every writable device property: before a change (a region) that the adaptor follows with
        % changes of its own (the fastest frame rate of the region's format).
        function rememberWritable(ledger, src)
            infos = propinfo(src);
            names = fieldnames(infos);
            for k = 1:numel(names)
                info = infos.(names{k});
                if isequal(double(info.DeviceSpecific), 1) && ~strcmp(info.ReadOnly, 'always') && ...
                        ~QVXImaqAcceptanceTest.isButton(info)
                    QVXImaqAcceptanceTest.remember(ledger, src, names{k});
                end
            end
        end

        % Stops the video input, drops its frames, puts back every value noted and deletes it: last
        % first (a value before its Auto switch), each under the selector values it was read with, and
        % the selectors after every other value. Gives the values it could not put back, as text.
        function problems = putBackAndDelete(vid, ledger)
            problems = '';
            if ~isvalid(vid)
                return;
            end
            if isrunning(vid)
                stop(vid);
            end
            flushdata(vid);
            src = getselectedsource(vid);
            entries = arrayfun(@(k) ledger(k), 1:ledger.Count, 'UniformOutput', false);
            noted = cellfun(@(entry) entry{1}, entries, 'UniformOutput', false);
            % A selector that only a put-back turns is turned back as well.
            for k = 1:numel(entries)
                turned = fieldnames(entries{k}{3});
                for s = 1:numel(turned)
                    if ~any(strcmp(noted, turned{s}))
                        noted{end + 1} = turned{s}; %#ok<AGROW>
                        entries{end + 1} = {turned{s}, get(src, turned{s}), struct()}; %#ok<AGROW>
                    end
                end
            end
            selectors = cellfun(@(entry) QVXImaqAcceptanceTest.isSelectorName(entry{1}), entries);
            order = [fliplr(find(~selectors)), fliplr(find(selectors))];
            for k = order
                entry = entries{k};
                try
                    under = fieldnames(entry{3});
                    for s = 1:numel(under)
                        set(src, under{s}, entry{3}.(under{s}));
                    end
                    set(src, entry{1}, entry{2});
                catch err
                    problems = sprintf('%s%s: %s; ', problems, entry{1}, err.message);
                end
            end
            remove(ledger, ledger.keys());
            delete(vid);
        end

        % The values of the source's selectors (GenICam's TriggerSelector, GainSelector, ...: which
        % instance the selected properties, a TriggerMode, a Gain, show), but the one named.
        function values = selectorValues(src, except)
            values = struct();
            infos = propinfo(src);
            names = fieldnames(infos);
            for k = 1:numel(names)
                if QVXImaqAcceptanceTest.isSelector(names{k}, infos) && ~strcmp(names{k}, except)
                    values.(names{k}) = get(src, names{k});
                end
            end
        end

        function putBackOrFail(vid, ledger)
            problems = QVXImaqAcceptanceTest.putBackAndDelete(vid, ledger);
            if ~isempty(problems)
                error('QVXImaqAcceptanceTest:notPutBack', 'Values not put back: %s', problems);
            end
        end

        % Every device property's value as a new video input with the default format reads it, by name;
        % and under each other value of every selector, every other property's, by "name (selector
        % value)": a value written to one instance and not put back shows there.
        function values = deviceValues(id)
            values = containers.Map('KeyType', 'char', 'ValueType', 'any');
            vid = videoinput(QVXImaqAcceptanceTest.AdaptorName, id);
            try
                src = getselectedsource(vid);
                infos = propinfo(src);
                names = fieldnames(infos);
                names = names(cellfun(@(name) isequal(double(infos.(name).DeviceSpecific), 1), names));
                selectors = cellfun(@(name) QVXImaqAcceptanceTest.isSelector(name, infos), names);
                for k = 1:numel(names)
                    values(names{k}) = get(src, names{k});
                end
                for s = reshape(find(selectors), 1, [])
                    selector = names{s};
                    found = values(selector);
                    choices = cellstr(infos.(selector).ConstraintValue);
                    for c = 1:numel(choices)
                        if strcmp(choices{c}, found)
                            continue;
                        end
                        set(src, selector, choices{c});
                        for k = reshape(find(~selectors), 1, [])
                            key = sprintf('%s (%s %s)', names{k}, selector, choices{c});
                            try
                                values(key) = get(src, names{k});
                            catch
                                values(key) = 'not readable';   % an instance may lack a feature
                            end
                        end
                    end
                    set(src, selector, found);
                end
            catch err
                delete(vid);
                rethrow(err);
            end
            delete(vid);
        end

        % A value of the property's constraint other than the one it holds, and other than its
        % default where there is one: what a new video input would show if the value stayed behind.
        function value = otherValue(info, original)
            value = [];
            switch info.Constraint
                case 'bounded'
                    limits = double(info.ConstraintValue);
                    candidates = {limits(1), limits(2), round(mean(limits))};
                case 'enum'
                    candidates = info.ConstraintValue;
                otherwise
                    return;
            end
            other = candidates(~cellfun(@(c) isequal(c, original), candidates));
            better = other(~cellfun(@(c) isequal(c, info.DefaultValue), other));
            if ~isempty(better)
                value = better{1};
            elseif ~isempty(other)
                value = other{1};
            end
        end

        function yes = isButton(info)
            yes = strcmp(info.Constraint, 'enum') && isequal(cellstr(info.ConstraintValue), {'Push'});
        end

        % GenICam names every selector "...Selector".
        function yes = isSelectorName(name)
            yes = numel(name) > 8 && strcmp(name(end - 7:end), 'Selector');
        end

        function yes = isSelector(name, infos)
            info = infos.(name);
            yes = QVXImaqAcceptanceTest.isSelectorName(name) && isequal(double(info.DeviceSpecific), 1) && ...
                  strcmp(info.Constraint, 'enum') && ~strcmp(info.ReadOnly, 'always');
        end

        function yes = isAutoSwitch(name, infos)
            yes = numel(name) > 4 && strcmp(name(end - 3:end), 'Auto') && isfield(infos, name) && ...
                  strcmp(infos.(name).Constraint, 'enum') && any(strcmp(infos.(name).ConstraintValue, 'Off'));
        end

        function text = valueText(value)
            if ischar(value)
                text = value;
            else
                text = num2str(value);
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

        % Device names listed in an environment variable, separated by ";".
        function names = namedDevices(variable)
            names = {};
            named = getenv(variable);
            if ~isempty(named)
                names = strtrim(strsplit(named, ';'));
                names = names(~cellfun(@isempty, names));
            end
        end

        % QVXIMAQ_DEVICE_PROPERTIES as a struct array with DeviceName and Properties; empty when unset.
        function expected = expectedProperties()
            expected = struct('DeviceName', {}, 'Properties', {});
            text = getenv('QVXIMAQ_DEVICE_PROPERTIES');
            if ~isempty(text)
                expected = jsondecode(text);
                if iscell(expected)
                    expected = [expected{:}];
                end
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
