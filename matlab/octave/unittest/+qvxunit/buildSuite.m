% buildSuite: the tests of one matlab.unittest class, with its fixture methods and each test's parameter values.
%
% A test method takes its parameters by name after the test case. Parameters combine exhaustively,
% or one value of each at a time with ParameterCombination = 'sequential'; 'pairwise' runs the
% exhaustive set, which holds every pair. Setup-level parameters (MethodSetupParameter,
% ClassSetupParameter) are not run here: a class that has them fails every test, saying so.
% The values are the properties' defaults, as Octave evaluated them when it loaded the class.
function suite = buildSuite(className)
    file = classFile(className);
    info = inheritedBlocks(className, file);
    suite.ClassName = className;
    suite.File = file;
    suite.Problem = '';
    suite.ClassSetup = methodsWith(info, 'testclasssetup');
    suite.ClassTeardown = methodsWith(info, 'testclassteardown');
    suite.MethodSetup = methodsWith(info, 'testmethodsetup');
    suite.MethodTeardown = methodsWith(info, 'testmethodteardown');
    suite.Tests = struct('Name', {}, 'Method', {}, 'Values', {}, 'Problem', {});
    for kind = {'MethodSetupParameter', 'ClassSetupParameter'}
        if any(arrayfun(@(p) isfield(p.Attributes, lower(kind{1})), info.Properties))
            suite.Problem = sprintf('%s has %s properties, which this runner does not run.', className, kind{1});
        end
    end
    mc = meta.class.fromName(className);
    if isempty(mc)
        error('qvxunit:noClass', 'No class %s on the path (file %s).', className, file);
    end
    parameters = info.Properties(arrayfun(@(p) isfield(p.Attributes, 'testparameter'), info.Properties));
    for m = info.Methods(arrayfun(@(m) isTest(m.Attributes), info.Methods))
        try
            suite.Tests = [suite.Tests, expand(className, m, parameters, mc)];
        catch err
            % The method still gets a test, which fails with the reason.
            suite.Tests(end + 1) = struct('Name', [className '/' m.Name], 'Method', m.Name, ...
                                          'Values', {{}}, 'Problem', err.message);
        end
    end
end

% A test class inherits the tests, fixtures and parameters of the test classes it derives from.
% Theirs come first, so that a base class's setup runs before its subclass's, as in MATLAB; a
% method the subclass redefines keeps the subclass's attributes.
function info = inheritedBlocks(className, file)
    info = qvxunit.classBlocks(file);
    bases = meta.class.fromName(className).SuperclassList;
    for k = numel(bases):-1:1
        if strcmp(bases{k}.Name, 'matlab.unittest.TestCase') || ~derivesFromTestCase(bases{k})
            continue;
        end
        inherited = inheritedBlocks(bases{k}.Name, classFile(bases{k}.Name));
        own = ismember({inherited.Methods.Name}, {info.Methods.Name});
        info.Methods = [inherited.Methods(~own), info.Methods];
        own = ismember({inherited.Properties.Name}, {info.Properties.Name});
        info.Properties = [inherited.Properties(~own), info.Properties];
    end
end

function yes = derivesFromTestCase(mc)
    yes = strcmp(mc.Name, 'matlab.unittest.TestCase');
    for k = 1:numel(mc.SuperclassList)
        yes = yes || derivesFromTestCase(mc.SuperclassList{k});
    end
end

function file = classFile(className)
    file = which(className);
    if isempty(file) || ~exist(file, 'file')
        parts = strsplit(className, '.');
        relative = [strjoin(strcat('+', parts(1:end - 1)), filesep) filesep parts{end} '.m'];
        if numel(parts) == 1
            relative = [className '.m'];
        end
        file = file_in_loadpath(relative);
    end
    if isempty(file)
        error('qvxunit:noClass', 'No file for the test class %s on the path.', className);
    end
end

function yes = isTest(attributes)
    yes = isfield(attributes, 'test') && ~isequal(attributes.test, false);
end

function names = methodsWith(info, attribute)
    names = {};
    for m = info.Methods
        if isfield(m.Attributes, attribute) && ~isequal(m.Attributes.(attribute), false)
            names{end + 1} = m.Name;
        end
    end
end

function tests = expand(className, method, parameters, mc)
    params = method.Arguments;
    tests = struct('Name', {}, 'Method', {}, 'Values', {}, 'Problem', {});
    if isempty(params)
        tests(1).Name = [className '/' method.Name];
        tests(1).Method = method.Name;
        tests(1).Values = {};
        tests(1).Problem = '';
        return;
    end
    values = cell(size(params));
    names = cell(size(params));
    for p = 1:numel(params)
        if ~any(strcmp({parameters.Name}, params{p}))
            error('qvxunit:badParameter', '%s takes "%s", which is no TestParameter property of %s.', ...
                  method.Name, params{p}, className);
        end
        [values{p}, names{p}] = qvxunit.parameterValues(params{p}, defaultOf(mc, params{p}));
    end
    counts = cellfun(@numel, values);
    combination = 'exhaustive';
    if isfield(method.Attributes, 'parametercombination')
        combination = method.Attributes.parametercombination;
    end
    if strcmp(combination, 'sequential')
        if any(counts ~= counts(1))
            error('qvxunit:badParameter', '%s combines its parameters sequentially, but they have %s values.', ...
                  method.Name, mat2str(counts));
        end
        picks = repmat((1:counts(1))', 1, numel(params));
    else
        % The first parameter changes slowest, the last one fastest.
        picks = zeros(prod(counts), numel(params));
        for row = 1:size(picks, 1)
            rest = row - 1;
            for p = numel(params):-1:1
                picks(row, p) = mod(rest, counts(p)) + 1;
                rest = floor(rest / counts(p));
            end
        end
    end
    for row = 1:size(picks, 1)
        labels = cell(1, numel(params));
        chosen = cell(1, numel(params));
        for p = 1:numel(params)
            labels{p} = sprintf('%s=%s', params{p}, names{p}{picks(row, p)});
            chosen{p} = values{p}{picks(row, p)};
        end
        tests(end + 1) = struct('Name', sprintf('%s/%s(%s)', className, method.Name, strjoin(labels, ',')), ...
                                'Method', method.Name, 'Values', {chosen}, 'Problem', '');
    end
end

function value = defaultOf(mc, name)
    for k = 1:numel(mc.PropertyList)
        if strcmp(mc.PropertyList{k}.Name, name)
            value = mc.PropertyList{k}.DefaultValue;
            return;
        end
    end
    error('qvxunit:badParameter', 'Octave shows no property %s of %s.', name, mc.Name);
end
