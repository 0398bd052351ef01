% joinRecords: one column of diagnostic records from several arrays of them; Octave 7 drops the fields when it concatenates empty struct arrays.
function records = joinRecords(varargin)
    records = qvxunit.newRecord();
    for k = 1:numel(varargin)
        more = varargin{k};
        for j = 1:numel(more)
            records(end + 1, 1) = more(j);
        end
    end
end
