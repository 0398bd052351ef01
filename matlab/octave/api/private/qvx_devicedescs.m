% qvx_devicedescs: the device's own properties, as the gateway lists them, in propinfo's terms.
%
% Numbers (the adaptor's integers and doubles) are Type 'double', 'bounded' by [min max] when the
% adaptor gave limits and 'none' otherwise; integers take whole numbers only. Enumerations are Type
% 'string' with Constraint 'enum', their values in the adaptor's order, the first being the default.
function descs = qvx_devicedescs(properties)
    descs = repmat(qvx_property('', 'double', 'none', [], [], 'never', 1), 1, 0);
    for k = 1:numel(properties)
        p = properties(k);
        switch p.Type
            case {'integer', 'double'}
                if p.Bounded
                    desc = qvx_property(p.Name, 'double', 'bounded', [p.Min p.Max], p.Default, p.ReadOnly, ...
                                        p.DeviceSpecific, 'Integer', strcmp(p.Type, 'integer'));
                else
                    desc = qvx_property(p.Name, 'double', 'none', [], p.Default, p.ReadOnly, ...
                                        p.DeviceSpecific, 'Integer', strcmp(p.Type, 'integer'));
                end
            case 'enum'
                desc = qvx_property(p.Name, 'string', 'enum', p.Values, p.Default, p.ReadOnly, p.DeviceSpecific);
            otherwise
                desc = qvx_property(p.Name, 'string', 'none', [], p.Default, p.ReadOnly, p.DeviceSpecific);
        end
        descs(end + 1) = desc; %#ok<AGROW>
    end
end
