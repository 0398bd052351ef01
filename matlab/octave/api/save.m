% save: Octave's SAVE, which refuses image acquisition objects with a message of its own.
%
% Octave stores no classdef objects (nor does it call their SAVEOBJ): saving a video input failed inside
% Octave with "save_ascii(): wrong type argument" and left a partial file. This checks the variables
% named (or all of them), also inside cells and structs, before Octave writes anything.
function varargout = save(varargin)
    plain = varargin(cellfun(@(a) ischar(a) && ~strncmp(a, '-', 1), varargin));
    if all(cellfun(@ischar, varargin)) && ~any(strcmp(varargin, '-struct')) && ~isempty(plain)
        patterns = plain(2:end);
        if isempty(patterns)
            patterns = {'*'};
        end
        for p = 1:numel(patterns)
            names = evalin('caller', sprintf('who(''%s'')', strrep(patterns{p}, '''', '''''')));
            for k = 1:numel(names)
                if holdsObject(evalin('caller', names{k}))
                    error('imaq:save:objectNotSaved', ['''%s'' holds an image acquisition object, which ' ...
                          'Octave cannot save: save the settings you need as numbers and texts instead.'], names{k});
                end
            end
        end
    end
    quoted = cellfun(@(a) ['''' strrep(a, '''', '''''') ''''], varargin, 'UniformOutput', false);
    call = ['builtin(''save''' sprintf(', %s', quoted{:}) ')'];
    if ~all(cellfun(@ischar, varargin))
        error('imaq:save:invalidArguments', 'SAVE takes character vectors as arguments.');
    end
    if nargout > 0
        varargout{1} = evalin('caller', call);
    else
        evalin('caller', call);
    end
end

function tf = holdsObject(value)
    if isa(value, 'qvxobject')
        tf = true;
    elseif iscell(value)
        tf = any(cellfun(@holdsObject, value(:)));
    elseif isstruct(value)
        tf = any(cellfun(@holdsObject, struct2cell(value(:))));
    else
        tf = false;
    end
end
