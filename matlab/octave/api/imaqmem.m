% imaqmem: the memory the toolbox's frames may take, and take now.
%
%   mem = imaqmem              struct with FrameMemoryLimit and FrameMemoryUsed, in bytes
%   value = imaqmem(FIELD)     one of them, e.g. imaqmem('FrameMemoryLimit')
%   imaqmem(LIMIT)             sets FrameMemoryLimit to LIMIT bytes (a whole number from 1 to 2^53)
%
% The limit is, unless set, the physical memory available when the toolbox first needs it. An
% acquisition whose next frame would pass it stops with the error "Unable to allocate memory for an
% incoming image frame."; the frames logged until then stay available to GETDATA.
function out = imaqmem(arg)
    if nargin >= 1
        if ischar(arg)
            mem = qvximaq_gateway('memory');
            if ~isfield(mem, arg)
                error('imaq:imaqmem:invalidField', 'FIELD must be ''FrameMemoryLimit'' or ''FrameMemoryUsed''.');
            end
            out = mem.(arg);
            return;
        end
        if ~isnumeric(arg) || ~isscalar(arg) || ~isreal(arg)
            error('imaq:imaqmem:invalidLimit', 'The frame memory limit must be a whole number of bytes from 1 to 2^53.');
        end
        qvximaq_gateway('setMemoryLimit', double(arg));
    end
    if nargin == 0 || nargout > 0
        out = qvximaq_gateway('memory');
    end
end
