% qvx_layer_check: checks of the toolbox's Octave layer as a user meets it, one per case; 0 when all pass.
%
%   status = qvx_layer_check(ADAPTORPATH)            the checks that need no special process
%   status = qvx_layer_check(ADAPTORPATH, 'memory')  the result of GETDATA cannot be allocated (run it
%                                                    under a virtual memory limit, see qvx_layer_check.sh)
%
% Interrupts and SIGTERM need a terminal and a signal from outside: qvx_layer_check.sh drives them.
function status = qvx_layer_check(adaptorPath, part)
    if nargin < 2
        part = 'main';
    end
    imaqregister(adaptorPath);
    imaqreset;
    warning('off', 'imaq:adaptor:warning');
    if strcmp(part, 'memory')
        checks = {@lostFrames};
    else
        checks = {@frameMemoryLimit, @numbers, @metadata, @regionWarning, @arraysAndSave, @registration};
    end
    failed = 0;
    for k = 1:numel(checks)
        name = func2str(checks{k});
        try
            problem = checks{k}(adaptorPath);
        catch err
            problem = sprintf('%s (%s)', err.message, err.identifier);
        end
        imaqreset;
        if isempty(problem)
            fprintf('passed  layer: %s\n', name);
        else
            fprintf('FAILED  layer: %s: %s\n', name, problem);
            failed = failed + 1;
        end
    end
    status = double(failed > 0);
end

% The message of the error f raises, and its identifier; both empty when it raises none.
function [message, identifier] = raised(f)
    message = '';
    identifier = '';
    try
        f();
    catch err
        message = err.message;
        identifier = err.identifier;
    end
end

% Polls until the video input stops, at most SECONDS.
function stopped = stopsWithin(v, seconds)
    t = tic;
    while isrunning(v) && toc(t) < seconds
        pause(0.05);
    end
    stopped = ~isrunning(v);
end

% A result that cannot be allocated leaves every logged frame in the buffer, with Octave's own error.
function problem = lostFrames(~)
    problem = '';
    v = videoinput('qvximaq', 4);
    v.FramesPerTrigger = 250;
    start(v);
    wait(v, 60);
    before = v.FramesAvailable;
    [message, identifier] = raised(@() getdata(v, 250, 'double'));
    after = v.FramesAvailable;
    if isempty(message)
        problem = 'getdata of 250 frames as double did not fail: the limit of the test is too high';
    elseif after ~= before
        problem = sprintf('FramesAvailable went from %d to %d after "%s"', before, after, message);
    elseif strncmp(identifier, 'imaq:', 5) || isempty(strfind(message, 'out of memory'))
        problem = sprintf('the error is not Octave''s out-of-memory error: %s (%s)', message, identifier);
    else
        d = getdata(v, 2);
        if ~isequal(size(d), [2048 2448 1 2]) || v.FramesAvailable ~= before - 2
            problem = 'after the failure, getdata(v, 2) did not take two frames';
        end
    end
    delete(v);
end

% imaqmem reports and sets the limit; an endless acquisition stops at it with the toolbox's error.
function problem = frameMemoryLimit(~)
    problem = '';
    mem = imaqmem;
    if ~isstruct(mem) || ~all(isfield(mem, {'FrameMemoryLimit', 'FrameMemoryUsed'})) || ...
            ~(mem.FrameMemoryLimit > 0) || mem.FrameMemoryUsed ~= 0
        problem = 'imaqmem gives no FrameMemoryLimit above 0 and FrameMemoryUsed of 0';
        return;
    end
    frameBytes = 2448 * 2048;
    limit = 40 * frameBytes + 1000;
    imaqmem(limit);
    restore = onCleanup(@() imaqmem(mem.FrameMemoryLimit));
    if imaqmem('FrameMemoryLimit') ~= limit
        problem = 'imaqmem(limit) did not set the limit';
        return;
    end
    v = videoinput('qvximaq', 4);
    v.FramesPerTrigger = Inf;
    lastwarn('');
    start(v);
    if ~stopsWithin(v, 20)
        problem = sprintf('still running at %d frames with a limit of %d frames', v.FramesAvailable, 40);
        return;
    end
    [message, identifier] = raised(@() wait(v, 1));
    warned = lastwarn();
    expected = ['Unable to allocate memory for an incoming image frame. Use help imaqmem to modify ' ...
                'the frame memory limit.'];
    if isempty(strfind(warned, expected))
        problem = sprintf('no warning with the toolbox''s message once stopped (lastwarn "%s")', warned);
    elseif ~isempty(message)
        problem = sprintf('wait on the stopped object failed: %s (%s)', message, identifier);
    elseif v.FramesAvailable ~= 40 || imaqmem('FrameMemoryUsed') ~= 40 * frameBytes
        problem = sprintf('%d frames (%d bytes) kept, 40 expected', v.FramesAvailable, imaqmem('FrameMemoryUsed'));
    else
        d = getdata(v, 40);
        if size(d, 4) ~= 40 || imaqmem('FrameMemoryUsed') ~= 0
            problem = 'the 40 frames were not all returned and released';
        end
    end
    delete(v);
end

% Integer settings and arguments are checked against their ranges, with messages that name them.
function problem = numbers(~)
    problem = '';
    v = videoinput('qvximaq', 1);
    for name = {'FramesPerTrigger', 'TriggerRepeat'}
        [message, identifier] = raised(@() set(v, name{1}, 3e9));
        if isempty(message) || isempty(strfind(message, '2147483647')) || ~strncmp(identifier, 'imaq:', 5)
            problem = sprintf('%s = 3e9: "%s" names no range', name{1}, message);
            return;
        end
    end
    if v.FramesPerTrigger ~= 10 || v.TriggerRepeat ~= 0
        problem = 'a refused value was kept';
        return;
    end
    v.TriggerRepeat = Inf;
    v.FramesPerTrigger = 2;
    v.TriggerRepeat = 3;
    message = raised(@() getdata(v, 3e9));
    if isempty(strfind(message, '2147483647'))
        problem = sprintf('getdata(v, 3e9): "%s" names no range', message);
        return;
    end
    v.FramesPerTrigger = Inf;
    start(v);
    pause(0.2);
    message = raised(@() getdata(v));
    stop(v);
    if isempty(strfind(message, 'FramesPerTrigger is Inf')) || isempty(strfind(message, 'GETDATA(OBJ, N)'))
        problem = sprintf('getdata(v) with FramesPerTrigger Inf: "%s" says not what to give', message);
    end
    delete(v);
end

% [d, t, m] = getdata and [f, m] = getsnapshot give the frames' metadata.
function problem = metadata(~)
    problem = '';
    v = videoinput('qvximaq', 1);
    v.FramesPerTrigger = 2;
    v.TriggerRepeat = 1;
    start(v);
    [d, t, m] = getdata(v, 4);
    fields = {'AbsTime', 'FrameNumber', 'RelativeFrame', 'TriggerIndex'};
    if ~isstruct(m) || ~isequal(size(m), [4 1]) || ~isequal(fieldnames(m)', fields)
        problem = 'the metadata of getdata is no 4x1 struct with AbsTime, FrameNumber, RelativeFrame, TriggerIndex';
    elseif ~isequal([m.FrameNumber], 1:4) || ~isequal([m.RelativeFrame], [1 2 1 2]) || ...
            ~isequal([m.TriggerIndex], [1 1 2 2])
        problem = 'FrameNumber, RelativeFrame or TriggerIndex are wrong';
    elseif ~isequal(size(m(1).AbsTime), [1 6]) || abs(etime(m(4).AbsTime, m(1).AbsTime) - (t(4) - t(1))) > 1e-3 ...
            || abs(etime(clock, m(4).AbsTime)) > 60
        problem = 'AbsTime is no clock vector of the frame''s time';
    end
    [f, s] = getsnapshot(v);
    if isempty(problem) && (~isequal(size(f), size(d(:, :, :, 1))) || ~isfield(s, 'AbsTime') || ...
                            abs(etime(clock, s.AbsTime)) > 60)
        problem = 'the metadata of getsnapshot has no AbsTime of now';
    end
    delete(v);
end

% A region the camera cannot take is set with a warning that says what it delivers instead.
function problem = regionWarning(~)
    problem = '';
    v = videoinput('qvximaq', 3);
    lastwarn('');
    v.ROIPosition = [10 20 30 40];
    [warned, identifier] = lastwarn();
    delivered = v.ROIPosition;
    shown = sprintf('[%d %d %d %d]', delivered);
    if isequal(delivered, [10 20 30 40])
        problem = 'the camera took the region: choose one without hardware regions';
    elseif isempty(warned) || isempty(strfind(warned, shown)) || ~strncmp(identifier, 'imaq:', 5)
        problem = sprintf('no warning naming %s (lastwarn "%s")', shown, warned);
    end
    delete(v);
end

% Arrays of objects and SAVE of an object give the layer's own errors, and SAVE writes no file.
function problem = arraysAndSave(~)
    problem = '';
    v = videoinput('qvximaq', 1);
    w = videoinput('qvximaq', 2);
    file = [tempname() '.mat'];
    for attempt = {@() [v w], @() [v; w], @() saveAs(file, v)}
        lastwarn('');
        [message, identifier] = raised(attempt{1});
        [~, warned] = lastwarn();
        written = exist(file, 'file');
        if written
            delete(file);
        end
        % Octave puts its own error in place of a concatenation method's: then the warning says why.
        if isempty(message) || ~(strncmp(identifier, 'imaq:', 5) || strncmp(warned, 'imaq:', 5)) || written
            problem = sprintf('%s: "%s" (%s) is not the layer''s error', func2str(attempt{1}), message, identifier);
            break;
        end
    end
    delete(v);
    delete(w);
end

% imaqregister refuses what is no adaptor and takes two paths to one file as one adaptor.
function problem = registration(adaptorPath)
    problem = '';
    before = imaqregister();
    [message, identifier] = raised(@() imaqregister('/etc/passwd'));
    if isempty(message) || any(strcmp(imaqregister(), '/etc/passwd'))
        problem = sprintf('/etc/passwd was registered ("%s")', message);
        return;
    end
    [folder, name, extension] = fileparts(adaptorPath);
    other = [folder '/./' name extension];
    [message, identifier] = raised(@() imaqregister(other));
    if ~isempty(message) || numel(imaqregister()) ~= numel(before)
        problem = sprintf('%s is not taken as %s: "%s" (%s)', other, adaptorPath, message, identifier);
    end
end

% SAVE as a user calls it: on a variable of the calling workspace.
function saveAs(file, v) %#ok<INUSD>
    save(file, 'v');
end
