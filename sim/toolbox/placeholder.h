// Placeholder slots of host interfaces, as the stand-ins implement them: a call is a contract breach.
#pragma once

#include "sim/toolbox/toolbox.h"

// Defines `slotN` of an interface whose objects the record names `object`; the adaptor never calls
// it, so a call means it reached a slot whose operation the host does not promise.
#define QVXTB_PLACEHOLDER(object, n)                                                                         \
    void slot##n() override { qvxtb::reportContractViolation(object ": placeholder slot " #n " called"); }
