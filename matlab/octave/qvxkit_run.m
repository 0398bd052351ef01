% qvxkit_run: runs the acceptance kit and the example with the adaptor at ADAPTORPATH; 0 when all passed.
%
%   status = qvxkit_run(adaptorPath)                a user's cameras: incomplete tests say why
%   status = qvxkit_run(adaptorPath, cameraFile)    the cameras of that description, which give every
%                                                   test a case: an incomplete test fails
%
% Called by scripts/matlab-run.sh with the Octave layer, the test runner, the gateway and matlab/ on the
% path. Prints one line per test (passed, FAILED or incomplete, with the reason), then one for the
% example. Figures are drawn off screen (gnuplot, invisible figures): no display is needed.
% With a camera file, the kit is told what those cameras must publish and how they behave: each
% device's property names (QVXIMAQ_DEVICE_PROPERTIES), that their buttons may be pushed
% (QVXIMAQ_PUSH_BUTTONS) and which deliver unpaced (QVXIMAQ_UNPACED_CAMERAS).
function status = qvxkit_run(adaptorPath, cameraFile)
    builtIn = nargin > 1 && ~isempty(cameraFile);
    if builtIn
        cameras = qvxkit_cameras(cameraFile);
        setenv('QVXIMAQ_DEVICE_PROPERTIES', jsonencode(cameras.Devices));
        setenv('QVXIMAQ_PUSH_BUTTONS', strjoin({cameras.Devices.DeviceName}, ';'));
        setenv('QVXIMAQ_UNPACED_CAMERAS', strjoin(cameras.Unpaced, ';'));
        printf('The cameras of %s: every test must have a case, and each device publish the properties its description gives.\n', ...
               cameraFile);
    end
    set(0, 'defaultfigurevisible', 'off');
    if any(strcmp(available_graphics_toolkits(), 'gnuplot'))
        warning('off', 'Octave:gnuplot-graphics');
        graphics_toolkit('gnuplot');
    end
    imaqregister(adaptorPath);
    imaqreset;
    failed = qvxkit_report(runtests('QVXImaqAcceptanceTest'), builtIn);
    imaqreset;
    try
        % In the base workspace, as a user runs it.
        evalin('base', 'qvximaq_example;');
        fprintf('passed  qvximaq_example\n');
    catch err
        fprintf('FAILED  qvximaq_example: %s\n', err.message);
        failed = failed + 1;
    end
    close all;
    imaqreset;
    status = double(failed > 0);
end
