% diagnosticText: the text of a qualification's diagnostic argument (char, a string written "..." in Octave, a cell of texts, or a function handle).
function text = diagnosticText(diagnostic)
    if isempty(diagnostic)
        text = '';
    elseif ischar(diagnostic)
        text = strjoin(cellstr(diagnostic), ' ');
    elseif iscellstr(diagnostic)
        text = strjoin(diagnostic(:)', '; ');
    elseif isa(diagnostic, 'function_handle')
        % As MATLAB's function handle diagnostics do: what the function returns or prints.
        try
            value = diagnostic();
            if ischar(value)
                text = value;
            else
                text = strtrim(evalc('disp(value)'));
            end
        catch
            try
                text = strtrim(evalc('diagnostic()'));
            catch err
                text = sprintf('(the diagnostic function failed: %s)', err.message);
            end
        end
    else
        text = qvxunit.valueText(diagnostic);
    end
end
