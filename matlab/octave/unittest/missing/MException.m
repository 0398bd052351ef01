% MException: the error class that Octave 7 lacks, so that test classes can name it (?MException) and make and throw errors with it.
%
% Octave 7 hands a caught error to catch as a struct, never as an object of this class; the
% qualifications treat every such error as an MException. runtests adds this folder only when the
% Octave that runs it has no MException of its own.
classdef MException
    properties
        identifier = '';
        message = '';
        stack = struct('file', {}, 'name', {}, 'line', {}, 'column', {});
    end

    methods
        function me = MException(identifier, template, varargin)
            me.identifier = identifier;
            me.message = sprintf(template, varargin{:});
        end

        function throw(me)
            error(struct('identifier', me.identifier, 'message', me.message));
        end

        function rethrow(me)
            error(struct('identifier', me.identifier, 'message', me.message, 'stack', me.stack));
        end

        function report = getReport(me)
            report = me.message;
        end
    end
end
