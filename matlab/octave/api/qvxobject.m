% qvxobject: what video inputs and video sources share: properties by dot, GET, SET, PROPINFO, and ==.
%
% A subclass gives qvxSerial (which object it is: the gateway handle of its video input), qvxCheckValid
% (an error once it is invalid) and the property list, reading and writing that qvx_get, qvx_set and
% qvx_propinfo use.
classdef qvxobject < handle

    methods
        % Octave 7 gives handle classes no ==; two variables are equal when they hold the same object.
        function tf = eq(a, b)
            tf = strcmp(class(a), class(b)) && qvxSerial(a) == qvxSerial(b);
        end

        function tf = ne(a, b)
            tf = ~eq(a, b);
        end

        function varargout = subsref(obj, s)
            switch s(1).type
                case '.'
                    value = get(obj, s(1).subs);
                case '()'
                    if ~all(cellfun(@(i) isequal(i, 1) || isequal(i, ':'), s(1).subs))
                        error(['imaq:' class(obj) ':index'], 'Index exceeds the number of objects (1).');
                    end
                    value = obj;
                otherwise
                    error(['imaq:' class(obj) ':index'], 'Image acquisition objects cannot be indexed with {}.');
            end
            if numel(s) > 1
                value = subsref(value, s(2:end));
            end
            varargout = {value};
        end

        function obj = subsasgn(obj, s, value)
            if ~strcmp(s(1).type, '.')
                error(['imaq:' class(obj) ':index'], 'Only properties of image acquisition objects can be assigned.');
            end
            name = s(1).subs;
            if numel(s) > 1
                current = get(obj, name);
                value = subsasgn(current, s(2:end), value);
                if isa(current, 'handle')
                    return; % vid.Source.Tag = ... changed the source itself
                end
            end
            set(obj, name, value);
        end

        function varargout = get(obj, varargin)
            qvxCheckValid(obj);
            out = qvx_get(obj, nargout > 0, varargin);
            if nargout > 0
                varargout = {out};
            end
        end

        function varargout = set(obj, varargin)
            qvxCheckValid(obj);
            out = qvx_set(obj, nargout > 0, varargin);
            if nargout > 0
                varargout = {out};
            end
        end

        function out = propinfo(obj, varargin)
            qvxCheckValid(obj);
            out = qvx_propinfo(obj, varargin);
        end

        % Octave cannot hold these objects in arrays; a cell array holds several.
        function out = horzcat(varargin) %#ok<STOUT>
            qvxobject.qvxNoArrays(varargin{:});
        end

        function out = vertcat(varargin) %#ok<STOUT>
            qvxobject.qvxNoArrays(varargin{:});
        end

        function out = cat(varargin) %#ok<STOUT>
            qvxobject.qvxNoArrays(varargin{2:end});
        end
    end

    methods (Static, Hidden)
        % Octave replaces the error of a concatenation method by its own "videoinput/horzcat method
        % failed", so the reason comes as a warning first.
        function qvxNoArrays(varargin)
            objects = varargin(cellfun(@(x) isa(x, 'qvxobject'), varargin));
            identifier = ['imaq:' class(objects{1}) ':noArrays'];
            message = ['Image acquisition objects cannot be joined into arrays here: keep several in a ' ...
                       'cell array, e.g. {vid1, vid2}.'];
            warning(identifier, '%s', message);
            error(identifier, '%s', message);
        end
    end

    methods (Hidden)
        % Whether the video input is running: what the read-only mode "whileRunning" asks.
        function tf = qvxRunning(obj)
            status = qvximaq_gateway('status', qvxSerial(obj));
            tf = status.Running;
        end
    end
end
