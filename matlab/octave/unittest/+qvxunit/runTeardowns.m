% runTeardowns: runs the addTeardown functions a test case collected in the given scopes, last in first out, each even when an earlier one fails.
function runTeardowns(tc, scopes)
    while true
        pending = tc.QvxTeardowns;
        k = find(cellfun(@(entry) any(strcmp(entry{4}, scopes)), pending), 1, 'last');
        if isempty(k)
            return;
        end
        entry = pending{k};
        pending(k) = [];
        tc.QvxTeardowns = pending;   % before the call, which may add teardowns of its own
        qvxunit.runGuarded(tc, @() entry{1}(entry{2}, entry{3}{:}), ['teardown ' func2str(entry{2})]);
    end
end
