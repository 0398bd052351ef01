// Calls into the adaptor: whatever it raises becomes a ToolboxError that says what was being done.
#pragma once

#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <utility>

#include "sim/toolbox/toolbox.h"

namespace qvxtb::detail {

std::string describeErrorCode(long code);

// Runs `call`; an exception of any kind comes out as a ToolboxError starting with `what`.
template <typename Call> auto callAdaptor(const std::string& what, Call&& call) -> decltype(call()) {
    try {
        return std::forward<Call>(call)();
    } catch (const ToolboxError&) {
        throw;
    } catch (long code) {
        throw ToolboxError(what + " failed: the adaptor raised error code " + describeErrorCode(code) + ".");
    } catch (int code) {
        throw ToolboxError(what + " failed: the adaptor raised error code " + describeErrorCode(code) + ".");
    } catch (const std::exception& error) {
        throw ToolboxError(what + " failed: " + error.what());
    } catch (...) {
        throw ToolboxError(what + " failed: the adaptor raised an unknown exception.");
    }
}

} // namespace qvxtb::detail
