% qvx_layerversion: the version of this Octave layer of the toolbox, shown by imaqhwinfo.
function text = qvx_layerversion()
    text = '1.0 (QVXImaq Octave)';
end
