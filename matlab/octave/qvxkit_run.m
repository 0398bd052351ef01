% qvxkit_run: runs the acceptance kit and the example with the adaptor at ADAPTORPATH; 0 when all passed.
%
% Called by scripts/matlab-run.sh with the Octave layer, the test runner, the gateway and matlab/ on the
% path. Prints one line per test (passed, FAILED or incomplete, with the reason), then one for the
% example. Figures are drawn off screen (gnuplot, invisible figures): no display is needed.
function status = qvxkit_run(adaptorPath)
    set(0, 'defaultfigurevisible', 'off');
    if any(strcmp(available_graphics_toolkits(), 'gnuplot'))
        warning('off', 'Octave:gnuplot-graphics');
        graphics_toolkit('gnuplot');
    end
    imaqregister(adaptorPath);
    imaqreset;
    failed = qvxkit_report(runtests('QVXImaqAcceptanceTest'));
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
