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
% Cameras with hardware regions of interest are those without a "FrameRate" property (the adaptor
% sets the fastest rate of each region itself). To name them instead, set the environment variable
% QVXIMAQ_REGION_CAMERAS to their device names separated by ";" before running the tests.
classdef QVXImaqAcceptanceTest < matlab.unittest.TestCase

    properties (Constant)
        AdaptorName = 'qvximaq';
        FrameCount = 10;   % frames per getdata test
        Timeout = 60;      % seconds to wait for them
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
            ids = cell2mat(info.DeviceIDs);
            testCase.verifyTrue(all(ids >= 1) && all(diff(ids) > 0), ...
                'Device ids count from 1 in the order of the library''s device list.');
            for d = 1:numel(info.DeviceInfo)
                device = info.DeviceInfo(d);
                name = device.DeviceName;
                testCase.verifyNotEmpty(name, 'Every device has a name.');
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
        function everyFormatGivesSnapshotsOfItsSizeAndClass(testCase)
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                for k = 1:numel(device.SupportedFormats)
                    format = device.SupportedFormats{k};
                    where = [device.DeviceName ', ' format];
                    vid = testCase.open(device.DeviceID, format);
                    testCase.verifyEqual(vid.NumberOfBands, 3, where);
                    driver = imaqhwinfo(vid);
                    testCase.verifyEqual(driver.VendorDriverDescription, 'Qovex Plugin for Matlab', where);
                    testCase.verifyEqual(driver.VendorDriverVersion, '3.3.0', where);
                    resolution = vid.VideoResolution;   % [width height]
                    stated = regexp(format, '\((\d+)x(\d+)\)\s*$', 'tokens', 'once');
                    if ~isempty(stated)
                        testCase.verifyEqual(resolution, [str2double(stated{1}) str2double(stated{2})], where);
                    end
                    frame = getsnapshot(vid);
                    testCase.verifyClass(frame, testCase.expectedClass(format), where);
                    testCase.verifySize(frame, testCase.expectedSize(vid, resolution), where);
                    delete(vid);
                end
            end
        end

        % Here: ToolboxAcquisition.RoiIsTheHostsCopyAndShapesTheFrames,
        % RegionOfInterest.ChangeFitsAppliesFormatFastestRateAndOffsets,
        % RegionOfInterest.SizeIsClampedAndNegativeOffsetsRoundTowardZero.
        function framesFollowTheFittedRegionOnRegionCameras(testCase)
            cameras = testCase.regionCameras();
            testCase.assumeNotEmpty(cameras, 'No camera with hardware regions of interest is connected.');
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                if ~any(strcmp(cameras, device.DeviceName))
                    continue;
                end
                for k = 1:numel(device.SupportedFormats)
                    format = device.SupportedFormats{k};
                    where = [device.DeviceName ', ' format];
                    vid = testCase.open(device.DeviceID, format);
                    full = vid.VideoResolution;
                    % An odd request, so that the camera's step sizes have something to round.
                    request = [floor(full(1) / 4) + 1, floor(full(2) / 4) + 1, floor(full(1) / 2) + 3, ...
                               floor(full(2) / 2) + 3];
                    vid.ROIPosition = request;
                    fitted = vid.ROIPosition;
                    testCase.verifyLessThanOrEqual(fitted(3:4), full, where);
                    testCase.verifyGreaterThan(fitted(3:4), [0 0], where);
                    frame = getsnapshot(vid);
                    testCase.verifyEqual([size(frame, 2) size(frame, 1)], fitted(3:4), where);
                    vid.ROIPosition = [0 0 full];
                    frame = getsnapshot(vid);
                    testCase.verifyEqual([size(frame, 2) size(frame, 1)], full, [where ', whole image again']);
                    delete(vid);
                end
            end
        end

        % Here: ToolboxProperties.ValuesTravelAsIdsAndNumbersAndComeBackAsTheUserSeesThem,
        % Properties.EachKindReadsAndWritesItsOwnWay, ToolboxProperties.RefusedWritesNeverReachTheListener,
        % Properties.SerialNumberReadsAsTheDecimalValueOfItsHexadecimalDigits.
        function everyDevicePropertyReadsAndWritesWithinItsLimits(testCase)
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                vid = testCase.open(device.DeviceID, device.SupportedFormats{1});
                src = getselectedsource(vid);
                infos = propinfo(src);
                names = fieldnames(infos);
                for k = 1:numel(names)
                    name = names{k};
                    info = infos.(name);
                    if ~strcmpi(info.DeviceSpecific, 'yes')
                        continue;
                    end
                    where = [device.DeviceName ', ' name];
                    original = src.(name);   % every device property reads
                    if ~strcmpi(info.ReadOnly, 'never') && ~strcmpi(info.ReadOnly, 'whileRunning')
                        testCase.verifyError(@() set(src, name, original), ?MException, [where ' is read-only']);
                        continue;
                    end
                    switch info.Constraint
                        case 'bounded'
                            limits = info.ConstraintValue;
                            for value = [limits(1) limits(2) original]
                                src.(name) = value;
                                testCase.verifyEqual(double(src.(name)), double(value), 'AbsTol', 1e-3 * max(1, abs(value)), where);
                            end
                            testCase.verifyError(@() set(src, name, limits(2) + 1), ?MException, [where ' above its maximum']);
                        case 'enum'
                            for value = [info.ConstraintValue(:)' {original}]
                                src.(name) = value{1};
                                testCase.verifyEqual(char(src.(name)), char(value{1}), where);
                            end
                            testCase.verifyError(@() set(src, name, 'NoSuchValue'), ?MException, [where ' unknown value']);
                    end
                end
                delete(vid);
            end
        end

        % Here: Attributes.FastestRateComesFirstAndTextsAreRightAligned,
        % Properties.FrameRateIsThePositionInTheIntegerRateList, Properties.FrameRateAndInputChannelThroughTheHost,
        % Attributes.FrameRateIsLeftOutOnRegionOfInterestCameras.
        function everyFrameRateChoiceCanBeSetAndAcquires(testCase)
            cameras = testCase.regionCameras();
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                vid = testCase.open(device.DeviceID, device.SupportedFormats{1});
                src = getselectedsource(vid);
                if ~isfield(propinfo(src), 'FrameRate')
                    delete(vid);
                    continue;
                end
                testCase.verifyFalse(any(strcmp(cameras, device.DeviceName)), ...
                    [device.DeviceName ' has hardware regions and a FrameRate property']);
                info = propinfo(src, 'FrameRate');
                choices = info.ConstraintValue;
                testCase.verifyEqual(char(info.DefaultValue), char(testCase.fastest(choices)), ...
                    [device.DeviceName ': the default frame rate is the fastest']);
                for k = 1:numel(choices)
                    src.FrameRate = choices{k};
                    testCase.verifyEqual(char(src.FrameRate), char(choices{k}), device.DeviceName);
                    frame = getsnapshot(vid);
                    testCase.verifyNotEmpty(frame, [device.DeviceName ' at ' choices{k}]);
                end
                delete(vid);
            end
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
                vid.FramesPerTrigger = n;
                start(vid);
                wait(vid, testCase.Timeout);
                testCase.verifyFalse(isrunning(vid), [where ': stops by itself after the frames wanted']);
                testCase.verifyEqual(vid.FramesAcquired, n, where);
                [frames, times] = getdata(vid, n);
                testCase.verifySize(frames, testCase.expectedFramesSize(vid, n), where);
                testCase.verifyEqual(numel(times), n, where);
                testCase.verifyTrue(all(diff(times) > 0), [where ': time stamps increase']);
                testCase.verifyEqual(vid.FramesAvailable, 0, where);

                % Unlimited frames flow until stopped.
                vid.FramesPerTrigger = Inf;
                start(vid);
                deadline = tic;
                while vid.FramesAcquired < 2 && toc(deadline) < testCase.Timeout
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

        % Here: Soak.StartStopAndCreateDestroyCyclesLeaveNothingBehind,
        % ToolboxAcquisition.DestroyingARunningVideoInputStopsAndFreesEverything,
        % InstanceCreation.DestructionStopsLiveAndClosesTheDevice.
        function videoInputsCanBeDeletedAndMadeAgain(testCase)
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                where = device.DeviceName;
                format = device.SupportedFormats{1};
                vid = testCase.open(device.DeviceID, format);
                first = getsnapshot(vid);
                delete(vid);
                testCase.verifyFalse(isvalid(vid), where);

                % Deleted while running: the device is free again for the next object.
                vid = testCase.open(device.DeviceID, format);
                vid.FramesPerTrigger = Inf;
                start(vid);
                delete(vid);

                for cycle = 1:3
                    vid = testCase.open(device.DeviceID, format);
                    again = getsnapshot(vid);
                    testCase.verifySize(again, size(first), sprintf('%s, cycle %d', where, cycle));
                    delete(vid);
                end
            end
        end
    end

    methods (Access = private)
        % A video input that is deleted when the test ends, also when a verification fails first.
        function vid = open(testCase, id, format)
            vid = videoinput(testCase.AdaptorName, id, format);
            testCase.addTeardown(@QVXImaqAcceptanceTest.deleteIfValid, vid);
        end

        function names = regionCameras(testCase)
            named = getenv('QVXIMAQ_REGION_CAMERAS');
            if ~isempty(named)
                names = strtrim(strsplit(named, ';'));
                return;
            end
            names = {};
            for d = 1:numel(testCase.Info.DeviceInfo)
                device = testCase.Info.DeviceInfo(d);
                vid = videoinput(testCase.AdaptorName, device.DeviceID, device.SupportedFormats{1});
                if ~isfield(propinfo(getselectedsource(vid)), 'FrameRate')
                    names{end + 1} = device.DeviceName; %#ok<AGROW>
                end
                delete(vid);
            end
        end
    end

    methods (Static, Access = private)
        function deleteIfValid(vid)
            if isvalid(vid)
                delete(vid);
            end
        end

        % 16-bit monochrome formats give uint16 frames; every other format gives uint8.
        function name = expectedClass(format)
            if ~isempty(strfind(format, 'Y16'))
                name = 'uint16';
            else
                name = 'uint8';
            end
        end

        % Monochrome frames are height x width, colour frames height x width x 3.
        function dims = expectedSize(vid, resolution)
            if strcmpi(vid.ReturnedColorSpace, 'grayscale')
                dims = [resolution(2) resolution(1)];
            else
                dims = [resolution(2) resolution(1) 3];
            end
        end

        % getdata gives height x width x bands x frames, with one band for monochrome.
        function dims = expectedFramesSize(vid, n)
            dims = QVXImaqAcceptanceTest.expectedSize(vid, vid.VideoResolution);
            if numel(dims) == 2
                dims(3) = 1;
            end
            dims(4) = n;
        end

        function choice = fastest(choices)
            [~, k] = max(str2double(choices));
            choice = choices{k};
        end
    end
end
