% qvx_property: one property's description, as propinfo shows it, plus what checking a value needs.
%
%   desc = qvx_property(name, type, constraint, constraintValue, defaultValue, readOnly, deviceSpecific)
%
% Type is 'double', 'string' or 'any'; Constraint 'bounded', 'enum' or 'none'; ReadOnly 'always',
% 'whileRunning' or 'never'; DeviceSpecific the double 1 or 0. Options after these, as name/value:
% 'Integer' (numbers must be whole; Inf only where the bounds reach it) and 'Scalar' (false: the value
% is checked by its owner, e.g. ROIPosition).
function desc = qvx_property(name, type, constraint, constraintValue, defaultValue, readOnly, ...
                             deviceSpecific, varargin)
    desc = struct('Name', name, 'Type', type, 'Constraint', constraint, ...
                  'ConstraintValue', {constraintValue}, 'DefaultValue', {defaultValue}, ...
                  'ReadOnly', readOnly, 'DeviceSpecific', double(deviceSpecific), ...
                  'Integer', false, 'Scalar', strcmp(type, 'double'));
    for k = 1:2:numel(varargin)
        desc.(varargin{k}) = varargin{k + 1};
    end
end
