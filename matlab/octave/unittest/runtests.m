% runtests: runs matlab.unittest test classes under GNU Octave and returns one result per test, in place of Octave's own runtests.
%
%   results = runtests('ClassName')         a class on the path (or pkg.ClassName)
%   results = runtests('path/ClassName.m')  a class file; its folder joins the path for the run
%   results = runtests('folder')            every test class file in a folder
%   results = runtests({...})               several of those, in order
%   results = runtests()                    the test classes in the current folder
%
% results is a 1xN struct array with MATLAB's TestResult fields: Name, Passed, Failed, Incomplete,
% Duration (seconds, fixtures included) and Details (DiagnosticRecord, QualificationCount).
% qvxkit_report prints them. This folder must come before Octave's own folders on the path, which
% addpath gives it.
function results = runtests(tests)
    if nargin == 0
        tests = pwd;
    end
    if ischar(tests)
        tests = {tests};
    end
    if ~iscellstr(tests)
        error('qvxunit:usage', 'runtests takes a test class name, a file, a folder, or a cell of them.');
    end
    classes = {};
    folders = {};
    for k = 1:numel(tests)
        [more, where] = classesOf(tests{k});
        classes = [classes, more]; %#ok<AGROW>
        folders = [folders, where]; %#ok<AGROW>
    end
    % Folders this run adds to the path leave it when the run ends.
    missing = {};
    if ~exist('MException')
        missing = {fullfile(fileparts(mfilename('fullpath')), 'missing')};
    end
    onPath = [strsplit(path(), pathsep), {pwd}];   % the current folder is on the path as "."
    folders = setdiff(unique(folders, 'stable'), onPath, 'stable');
    missing = setdiff(missing, onPath, 'stable');
    for k = 1:numel(folders)
        addpath(folders{k});
    end
    for k = 1:numel(missing)
        addpath(missing{k}, '-end');
    end
    cleanup = onCleanup(@() dropFolders([folders, missing]));
    % Warnings that tests raise show as one line each, not with the runner's frames below them.
    backtrace = warning('query', 'backtrace');
    warning('off', 'backtrace');
    restoreWarnings = onCleanup(@() warning(backtrace.state, 'backtrace'));
    suites = cellfun(@qvxunit.buildSuite, classes);
    results = struct('Name', {}, 'Passed', {}, 'Failed', {}, 'Incomplete', {}, 'Duration', {}, 'Details', {});
    ended = '';
    for k = 1:numel(suites)
        printf('Running %s\n', suites(k).ClassName);
        [classResults, ended] = qvxunit.runClass(suites(k), ended);
        for j = 1:numel(classResults)   % one by one: Octave 7 loses the fields of empty struct arrays it joins
            results(end + 1) = classResults(j); %#ok<AGROW>
        end
    end
    if ~isempty(ended)
        printf('The run ended at a fatal assertion failure: %s\n', ended);
    end
end

% Class names for one argument of runtests, and the folders that must be on the path for them.
function [classes, folders] = classesOf(test)
    classes = {};
    folders = {};
    if exist(test, 'dir') == 7
        files = dir(fullfile(test, '*.m'));
        for f = 1:numel(files)
            file = fullfile(test, files(f).name);
            if ~isempty(regexp(fileread(file), '^\s*classdef[\s(][^\n]*<[^\n]*matlab\.unittest\.TestCase', ...
                               'once', 'lineanchors'))
                [more, folders] = classesOf(file);
                classes = [classes, more]; %#ok<AGROW>
            end
        end
        return;
    end
    [folder, name, ext] = fileparts(test);
    if strcmp(ext, '.m') || ~isempty(folder)
        if ~isempty(folder)
            folders = {make_absolute_filename(folder)};
        end
        classes = {name};
    else
        classes = {test};
    end
end

function dropFolders(folders)
    for k = 1:numel(folders)
        rmpath(folders{k});
    end
end
