% imaqreset: deletes every video input object, unloads every adaptor and makes the next imaqhwinfo
% or videoinput look for devices again. Registrations (imaqregister) stay.
%
% Also the way out after "clear all" or "clear classes": Octave 7 then forgets the class of objects
% that still exist, so they can no longer be used or deleted one by one; imaqreset releases them in
% the gateway all the same.
function imaqreset()
    objects = qvx_objects('all');
    for k = 1:numel(objects)
        try
            delete(objects{k});
        catch
            % An object whose class Octave forgot; the gateway's reset below releases it.
        end
    end
    qvx_objects('clear');
    qvximaq_gateway('reset');
end
