% classBlocks: the methods and properties of a classdef file with the attributes of the blocks they sit in, read from the file's text.
%
% Octave 7 accepts matlab.unittest's block attributes (Test, TestClassSetup, TestParameter, ...) but
% drops them: its meta classes do not show them. So the runner reads them from the class file.
% Keywords count only outside brackets (where "end" is an index) and not after a dot (a field);
% properties/methods/events/enumeration open blocks only directly inside classdef.
%
% info.Methods: Name, Arguments (cellstr, without the object unless Static), Attributes (struct, lower-case
%               names; a bare attribute is true), Line.
% info.Properties: Name, Attributes, Line.
function info = classBlocks(file)
    text = fileread(file);
    [types, texts, lines] = qvxunit.codeTokens(text);
    openers = {'classdef', 'function', 'if', 'for', 'parfor', 'while', 'switch', 'try', 'do', ...
               'unwind_protect', 'spmd'};
    closers = {'end', 'endfunction', 'endif', 'endfor', 'endparfor', 'endwhile', 'endswitch', ...
               'end_try_catch', 'until', 'end_unwind_protect', 'endspmd', 'endclassdef', 'endmethods', ...
               'endproperties', 'endevents', 'endenumeration'};
    sections = {'properties', 'methods', 'events', 'enumeration'};
    info.Methods = struct('Name', {}, 'Arguments', {}, 'Attributes', {}, 'Line', {});
    info.Properties = struct('Name', {}, 'Attributes', {}, 'Line', {});
    stack = {};
    level = 0;
    attributes = struct();
    statementStart = true;
    k = 1;
    while k <= numel(types)
        type = types{k};
        word = texts{k};
        if strcmp(type, 'newline') || (strcmp(type, 'punct') && level == 0 && any(word == ';,'))
            statementStart = true;
            k = k + 1;
            continue;
        end
        wasStart = statementStart;
        statementStart = false;
        if strcmp(type, 'punct')
            if any(word == '([{')
                level = level + 1;
            elseif any(word == ')]}')
                level = max(0, level - 1);
            end
            k = k + 1;
            continue;
        end
        afterDot = k > 1 && strcmp(types{k - 1}, 'punct') && strcmp(texts{k - 1}, '.');
        if ~strcmp(type, 'word') || level > 0 || afterDot
            k = k + 1;
            continue;
        end
        inClass = isequal(stack, {'classdef'});
        if inClass && any(strcmp(word, sections))
            stack{end + 1} = word;
            [attributes, k] = readAttributes(types, texts, k + 1);
            statementStart = true;
            continue;
        end
        if strcmp(word, 'function') && isequal(stack, {'classdef', 'methods'})
            [name, arguments] = readSignature(types, texts, k + 1);
            if ~isempty(arguments) && ~(isfield(attributes, 'static') && isequal(attributes.static, true))
                arguments(1) = [];   % the object
            end
            info.Methods(end + 1) = struct('Name', name, 'Arguments', {arguments}, ...
                                           'Attributes', attributes, 'Line', lines(k));
        elseif wasStart && isequal(stack, {'classdef', 'properties'}) && ~any(strcmp(word, closers))
            info.Properties(end + 1) = struct('Name', word, 'Attributes', attributes, 'Line', lines(k));
        end
        if any(strcmp(word, openers))
            stack{end + 1} = word;
        elseif any(strcmp(word, closers)) && ~isempty(stack)
            stack(end) = [];
        end
        k = k + 1;
    end
end

% Reads "(Name, Name = value, ~Name, ...)" after a block keyword, if there is one.
function [attributes, k] = readAttributes(types, texts, k)
    attributes = struct();
    if k > numel(types) || ~strcmp(texts{k}, '(')
        return;
    end
    level = 0;
    item = {};
    while k <= numel(types)
        if strcmp(types{k}, 'punct') && any(texts{k} == '([{')
            level = level + 1;
            if level == 1
                k = k + 1;
                continue;
            end
        elseif strcmp(types{k}, 'punct') && any(texts{k} == ')]}')
            level = level - 1;
        end
        if level == 0 || (level == 1 && strcmp(texts{k}, ',') && strcmp(types{k}, 'punct'))
            attributes = addAttribute(attributes, item);
            item = {};
            if level == 0
                k = k + 1;
                return;
            end
        elseif ~strcmp(types{k}, 'newline')
            item(end + 1, :) = {types{k}, texts{k}};
        end
        k = k + 1;
    end
end

function attributes = addAttribute(attributes, item)
    if isempty(item)
        return;
    end
    value = true;
    if strcmp(item{1, 2}, '~')
        value = false;
        item(1, :) = [];
    end
    name = lower(item{1, 2});
    if size(item, 1) > 2 && strcmp(item{2, 2}, '=')
        rest = item(3:end, :);
        if size(rest, 1) == 1 && any(strcmp(rest{1, 2}, {'true', 'false'}))
            value = strcmp(rest{1, 2}, 'true');
        elseif size(rest, 1) == 1
            value = rest{1, 2};   % a word or a string's text
        else
            value = strjoin(rest(:, 2)', ' ');
        end
    end
    attributes.(name) = value;
end

% Reads "[a, b] = name(x, y)", "a = name(x)", "name(x)" or "name" after the function keyword.
function [name, arguments] = readSignature(types, texts, k)
    signature = {};
    level = 0;
    while k <= numel(types) && ~strcmp(types{k}, 'newline')
        if strcmp(types{k}, 'punct')
            if any(texts{k} == '([{')
                level = level + 1;
            elseif any(texts{k} == ')]}')
                level = level - 1;
            elseif level == 0 && any(texts{k} == ';,')
                break;
            end
        end
        signature(end + 1, :) = {types{k}, texts{k}, level};
        k = k + 1;
    end
    equals = find(strcmp(signature(:, 2), '=') & [signature{:, 3}]' == 0, 1);
    if ~isempty(equals)
        signature = signature(equals + 1:end, :);
    end
    open = find(strcmp(signature(:, 2), '('), 1);
    if isempty(open)
        open = size(signature, 1) + 1;
    end
    name = strjoin(signature(1:open - 1, 2)', '');
    arguments = {};
    for j = open + 1:size(signature, 1)
        if signature{j, 3} == 1 && (strcmp(signature{j, 1}, 'word') || strcmp(signature{j, 2}, '~'))
            arguments{end + 1} = signature{j, 2};
        end
    end
end
