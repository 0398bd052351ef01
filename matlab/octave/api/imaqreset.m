% imaqreset: deletes every video input object, unloads every adaptor and makes the next imaqhwinfo
% or videoinput look for devices again. Registrations (imaqregister) stay.
function imaqreset()
    objects = qvx_objects('all');
    for k = 1:numel(objects)
        delete(objects{k});
    end
    qvximaq_gateway('reset');
end
