% qvx_adaptorname: the installed adaptor's name for NAME, which may be given in any case.
%
% Adaptor names are matched without regard to case, as the toolbox documents for its own adaptors; the
% name returned is the installed one (lower case). An unknown name raises IDENTIFIER.
function name = qvx_adaptorname(name, identifier)
    if ~ischar(name) || (~isrow(name) && ~isempty(name))
        error(identifier, 'ADAPTOR must be a character vector.');
    end
    installed = qvximaq_gateway('adaptors');
    found = find(strcmpi(installed, name), 1);
    if isempty(found)
        error(identifier, ['Invalid ADAPTOR specified. Type ''imaqhwinfo'' for a list of installed ' ...
                           'ADAPTORs.']);
    end
    name = installed{found};
end
