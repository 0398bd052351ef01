% callerLocation: "file:line (function)" of the innermost frame outside this runner, from the current call stack or from an error's stack.
%
% A failure or an error is reported where the test's code made it, not inside the runner that
% noticed it.
function location = callerLocation(stack)
    if nargin == 0
        stack = dbstack('-completenames');
    end
    here = [fileparts(fileparts(mfilename('fullpath'))) filesep];   % the runner's own folder
    location = '';
    for k = 1:numel(stack)
        file = stack(k).file;
        if strcmp(file, [here '+qvxunit' filesep 'runGuarded.m'])
            return;   % below here is the runner and whoever called it, not the test
        end
        if isempty(file) || strncmp(file, here, numel(here))
            continue;
        end
        [~, base, ext] = fileparts(file);
        location = sprintf('%s%s:%d (%s)', base, ext, stack(k).line, stack(k).name);
        return;
    end
end
