% codeTokens: splits the text of an .m file into words, strings, punctuation and line ends, without comments and "..." continuations.
%
% Only the structure of a class file matters to the runner (its blocks, their attributes, method
% names and arguments), so numbers come out as words, and every string as one 'string' token, so
% that no keyword or bracket inside a string or a comment is ever seen.
% A quote right after a name, a number, a closing bracket, a dot or another quote is a transpose;
% anywhere else it starts a string ("case 'x'", "[a 'b']").
function [types, texts, lines] = codeTokens(text)
    text = strrep(strrep(text, sprintf('\r\n'), sprintf('\n')), sprintf('\r'), sprintf('\n'));
    n = numel(text);
    types = {};
    texts = {};
    lines = [];
    line = 1;
    i = 1;
    atLineStart = true;
    while i <= n
        c = text(i);
        if c == sprintf('\n')
            types{end + 1} = 'newline'; texts{end + 1} = ''; lines(end + 1) = line;
            line = line + 1;
            i = i + 1;
            atLineStart = true;
            continue;
        end
        if c == ' ' || c == sprintf('\t')
            i = i + 1;
            continue;
        end
        if atLineStart && (c == '%' || c == '#') && i < n && text(i + 1) == '{' && restIsBlank(text, i + 2)
            [i, line] = skipBlockComment(text, i, line);
            continue;
        end
        atLineStart = false;
        if c == '%' || c == '#'
            i = lineEnd(text, i);
            continue;
        end
        if c == '.' && i + 2 <= n && strcmp(text(i:i + 2), '...')
            % A continuation: the rest of the line is a comment and the line end is not one.
            i = lineEnd(text, i) + 1;
            line = line + 1;
            continue;
        end
        if isletter(c) || c == '_' || isdigit(c) || (c == '.' && i < n && isdigit(text(i + 1)))
            j = i;
            while j <= n && (isletter(text(j)) || isdigit(text(j)) || text(j) == '_' ...
                             || (isdigit(c) && any(text(j) == '.eE') && ~(j < n && text(j + 1) == '.')) ...
                             || (isdigit(c) && any(text(j) == '+-') && any(text(j - 1) == 'eE')))
                j = j + 1;
            end
            types{end + 1} = 'word'; texts{end + 1} = text(i:j - 1); lines(end + 1) = line;
            i = j;
            continue;
        end
        if c == '"' || (c == '''' && startsString(text, i))
            [j, value] = readString(text, i);
            types{end + 1} = 'string'; texts{end + 1} = value; lines(end + 1) = line;
            i = j;
            continue;
        end
        types{end + 1} = 'punct'; texts{end + 1} = c; lines(end + 1) = line;
        i = i + 1;
    end
end

function yes = restIsBlank(text, i)
    j = lineEnd(text, i);
    yes = all(isspace(text(i:j - 1)));
end

% Index of the line end at or after i (or one past the text).
function j = lineEnd(text, i)
    j = i;
    while j <= numel(text) && text(j) ~= sprintf('\n')
        j = j + 1;
    end
end

% Skips a %{ ... %} block (nested ones too), leaving i on the line end after the closing line.
function [i, line] = skipBlockComment(text, i, line)
    depth = 0;
    while i <= numel(text)
        j = lineEnd(text, i);
        row = strtrim(text(i:j - 1));
        if any(strcmp(row, {'%{', '#{'}))
            depth = depth + 1;
        elseif any(strcmp(row, {'%}', '#}'}))
            depth = depth - 1;
        end
        if depth == 0
            i = j;
            return;
        end
        i = j + 1;
        line = line + 1;
    end
end

function yes = startsString(text, i)
    if i == 1
        yes = true;
        return;
    end
    before = text(i - 1);
    if isletter(before) || isdigit(before) || any(before == '_)]}.''')
        yes = false;
    else
        yes = true;
    end
end

% Reads a '...' or "..." string starting at i; returns the index after it and its text.
function [j, value] = readString(text, i)
    quote = text(i);
    j = i + 1;
    value = '';
    while j <= numel(text) && text(j) ~= sprintf('\n')
        if text(j) == quote
            if j < numel(text) && text(j + 1) == quote
                value(end + 1) = quote;
                j = j + 2;
                continue;
            end
            j = j + 1;
            return;
        end
        if quote == '"' && text(j) == '\' && j < numel(text)
            value(end + 1:end + 2) = text(j:j + 1);
            j = j + 2;
            continue;
        end
        value(end + 1) = text(j);
        j = j + 1;
    end
end
