% qvx_objects: the registry of live videoinput objects, which keeps them until delete or imaqreset.
%
%   qvx_objects('add', vid)      keeps vid
%   qvx_objects('remove', id)    forgets the object of that gateway handle
%   vid = qvx_objects('find', id)   the object of that gateway handle; [] when there is none
%   list = qvx_objects('all')    1xN cell of the live objects, oldest first
%   qvx_objects('clear')         forgets them all (imaqreset, once it deleted them)
%
% As in the toolbox, clearing a variable does not delete the object: imaqfind still finds it. The
% function is locked so that "clear functions" cannot drop the registry (and with it the objects).
function result = qvx_objects(action, arg)
    persistent objects ids
    mlock();
    if isempty(ids) && ~iscell(objects)
        objects = {};
        ids = [];
        % Deletes the objects while Octave still knows their class: after the last command, Octave
        % destroys what persistent variables hold only once classes can no longer run their methods.
        atexit('imaqreset');
    end
    result = [];
    switch action
        case 'add'
            objects{end + 1} = arg;
            ids(end + 1) = gatewayHandle(arg);
        case 'remove'
            keep = ids ~= arg;
            objects = objects(keep);
            ids = ids(keep);
        case 'find'
            result = objects(ids == arg);
            if ~isempty(result)
                result = result{1};
            end
        case 'all'
            result = objects;
        case 'clear'
            objects = {};
            ids = [];
        otherwise
            error('imaq:qvximaq:internal', 'qvx_objects: unknown action ''%s''.', action);
    end
end
