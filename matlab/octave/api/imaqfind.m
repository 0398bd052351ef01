% imaqfind: the video input objects that exist (not deleted, not reset), oldest first.
%
%   objs = imaqfind                        every one; [] when there are none
%   objs = imaqfind('Name', value, ...)    those whose properties have these values
%   objs = imaqfind(struct)                the same with the pairs in a struct
%
% One object comes back as the object itself. Octave 7 cannot put class objects into an array, so
% several come back as a 1xN cell of objects (in MATLAB, an object array).
function objs = imaqfind(varargin)
    objects = qvx_objects('all');
    if nargin == 1 && isstruct(varargin{1})
        names = fieldnames(varargin{1});
        pairs = cell(1, 2 * numel(names));
        for k = 1:numel(names)
            pairs{2 * k - 1} = names{k};
            pairs{2 * k} = varargin{1}.(names{k});
        end
    else
        pairs = varargin;
    end
    if mod(numel(pairs), 2) ~= 0
        error('imaq:imaqfind:invalidArguments', 'IMAQFIND takes property names and values in pairs.');
    end
    keep = true(1, numel(objects));
    for k = 1:numel(objects)
        for p = 1:2:numel(pairs)
            try
                value = get(objects{k}, pairs{p});
            catch
                keep(k) = false;
                break;
            end
            if ~isequal(value, pairs{p + 1})
                keep(k) = false;
                break;
            end
        end
    end
    objects = objects(keep);
    if isempty(objects)
        objs = [];
    elseif numel(objects) == 1
        objs = objects{1};
    else
        objs = objects;
    end
end
