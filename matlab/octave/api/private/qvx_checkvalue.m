% qvx_checkvalue: refuses a value that property DESC cannot take now; RUNNING is the object's state.
%
% The toolbox's documents do not give the identifiers or texts of these errors; these are ours:
%   imaq:set:readOnly              the property is read-only ('always')
%   imaq:set:readOnlyWhileRunning  the property is read-only while the object runs ('whileRunning')
%   imaq:set:invalidValue          a value of the wrong kind (text for a number, an array, NaN, ...)
%   imaq:set:notInteger            a fraction for a property that takes whole numbers
%   imaq:set:outOfBounds           a number outside [min max] (both inclusive)
%   imaq:set:invalidEnum           a text that is not one of the listed values; texts match exactly,
%                                  case and blanks included (the stricter reading)
function qvx_checkvalue(desc, value, running)
    name = desc.Name;
    if strcmp(desc.ReadOnly, 'always')
        error('imaq:set:readOnly', 'Property ''%s'' is read-only.', name);
    end
    if strcmp(desc.ReadOnly, 'whileRunning') && running
        error('imaq:set:readOnlyWhileRunning', 'Property ''%s'' cannot be set while OBJ is running.', name);
    end
    switch desc.Constraint
        case 'enum'
            if ~ischar(value) || ~(isrow(value) || isempty(value))
                error('imaq:set:invalidValue', 'Property ''%s'' takes one of the texts %s.', name, ...
                      qvx_valuelist(desc.ConstraintValue));
            end
            if ~any(strcmp(desc.ConstraintValue, value))
                error('imaq:set:invalidEnum', '''%s'' is not a valid value for property ''%s''. Valid values: %s.', ...
                      value, name, qvx_valuelist(desc.ConstraintValue));
            end
            return;
    end
    if strcmp(desc.Type, 'string')
        if ~ischar(value) || ~(isrow(value) || isempty(value))
            error('imaq:set:invalidValue', 'Property ''%s'' takes a character vector.', name);
        end
        return;
    end
    if ~desc.Scalar
        return;
    end
    if ~(isnumeric(value) || islogical(value)) || ~isscalar(value) || ~isreal(value) || isnan(value)
        error('imaq:set:invalidValue', 'Property ''%s'' takes a real number.', name);
    end
    value = double(value);
    if desc.Integer && isfinite(value) && value ~= fix(value)
        error('imaq:set:notInteger', 'Property ''%s'' takes whole numbers: %g is not one.', name, value);
    end
    if strcmp(desc.Constraint, 'bounded')
        limits = desc.ConstraintValue;
        if value < limits(1) || value > limits(2)
            error('imaq:set:outOfBounds', 'Property ''%s'' must be between %g and %g: %g is not.', ...
                  name, limits(1), limits(2), value);
        end
    elseif isinf(value)
        error('imaq:set:invalidValue', 'Property ''%s'' takes finite numbers.', name);
    end
end
