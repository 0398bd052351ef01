% imaqregister: the adaptor libraries the toolbox knows, by full path.
%
%   list = imaqregister                        Nx1 cell of the registered paths ({} when none)
%   list = imaqregister(PATH)                  registers PATH (absolute, an existing file)
%   list = imaqregister(PATH, 'unregister')    removes it (a warning when it was not registered)
%
% The adaptor's name is the file's base name without a leading "lib", in lower case:
% /opt/qvx/libQVXImaq.so is 'qvximaq'. Registrations last for this Octave session only (the toolbox
% keeps them across sessions); call imaqreset after a change, as with the toolbox.
function list = imaqregister(path, action)
    if nargin >= 1
        if ~ischar(path) || ~isrow(path)
            error('imaq:imaqregister:invalidPath', 'The adaptor''s path must be a character vector.');
        end
        if nargin < 2
            action = 'register';
        end
        switch action
            case 'register'
                if ~isAbsolute(path)
                    error('imaq:imaqregister:nonfullpath', 'The adaptor''s path must be a full path: %s', path);
                end
                if exist(path, 'file') ~= 2
                    error('imaq:imaqregister:filenotfound', 'The adaptor file does not exist: %s', path);
                end
                qvximaq_gateway('register', path);
            case 'unregister'
                try
                    qvximaq_gateway('unregister', path);
                catch err
                    warning('imaq:imaqregister:unregisterfailed', '%s', err.message);
                end
            otherwise
                error('imaq:imaqregister:invalidaction', 'The action must be ''register'' or ''unregister''.');
        end
    end
    list = qvximaq_gateway('registered');
end

function tf = isAbsolute(path)
    tf = strncmp(path, '/', 1) || strncmp(path, '\\', 2) || ~isempty(regexp(path, '^[A-Za-z]:[\\/]', 'once'));
end
