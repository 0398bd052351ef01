// Placeholder slots of host interfaces, as the stand-ins implement them: a call is a contract breach.
#pragma once

#include "sim/toolbox/toolbox.h"

// Defines `slotN` of an interface whose objects the record names `object`; the adaptor never calls
// it, so a call means it reached a slot whose operation the host does not promise.
#define QVXTB_PLACEHOLDER(object, n)                                                                         \
    void slot##n() override { qvxtb::reportContractViolation(object ": placeholder slot " #n " called"); }

// The placeholder slots of each host interface that more than one implementation declares, so a
// slot list is written once per interface.
// The factory's placeholders differ by ABI: its overloads sit in another order (host/prop_factory.h).
#if defined(_MSC_VER)
#define QVXTB_PROP_FACTORY_ABI_PLACEHOLDERS                                                                  \
    QVXTB_PLACEHOLDER("propFactory", 3)                                                                      \
    QVXTB_PLACEHOLDER("propFactory", 13)
#else
#define QVXTB_PROP_FACTORY_ABI_PLACEHOLDERS                                                                  \
    QVXTB_PLACEHOLDER("propFactory", 4)                                                                      \
    QVXTB_PLACEHOLDER("propFactory", 14)
#endif
#define QVXTB_PROP_FACTORY_PLACEHOLDERS                                                                      \
    QVXTB_PLACEHOLDER("propFactory", 1)                                                                      \
    QVXTB_PLACEHOLDER("propFactory", 2)                                                                      \
    QVXTB_PROP_FACTORY_ABI_PLACEHOLDERS                                                                      \
    QVXTB_PLACEHOLDER("propFactory", 5)                                                                      \
    QVXTB_PLACEHOLDER("propFactory", 6)                                                                      \
    QVXTB_PLACEHOLDER("propFactory", 9)                                                                      \
    QVXTB_PLACEHOLDER("propFactory", 10)                                                                     \
    QVXTB_PLACEHOLDER("propFactory", 15)                                                                     \
    QVXTB_PLACEHOLDER("propFactory", 16)                                                                     \
    QVXTB_PLACEHOLDER("propFactory", 17)
#define QVXTB_PROP_CONTAINER_PLACEHOLDERS                                                                    \
    QVXTB_PLACEHOLDER("propContainer", 1)                                                                    \
    QVXTB_PLACEHOLDER("propContainer", 2)                                                                    \
    QVXTB_PLACEHOLDER("propContainer", 3)                                                                    \
    QVXTB_PLACEHOLDER("propContainer", 4)                                                                    \
    QVXTB_PLACEHOLDER("propContainer", 5)                                                                    \
    QVXTB_PLACEHOLDER("propContainer", 6)                                                                    \
    QVXTB_PLACEHOLDER("propContainer", 7)                                                                    \
    QVXTB_PLACEHOLDER("propContainer", 11)                                                                   \
    QVXTB_PLACEHOLDER("propContainer", 12)                                                                   \
    QVXTB_PLACEHOLDER("propContainer", 16)                                                                   \
    QVXTB_PLACEHOLDER("propContainer", 17)
#define QVXTB_PROP_INFO_PLACEHOLDERS                                                                         \
    QVXTB_PLACEHOLDER("propInfo", 2)                                                                         \
    QVXTB_PLACEHOLDER("propInfo", 3)                                                                         \
    QVXTB_PLACEHOLDER("propInfo", 5)                                                                         \
    QVXTB_PLACEHOLDER("propInfo", 8)                                                                         \
    QVXTB_PLACEHOLDER("propInfo", 9)                                                                         \
    QVXTB_PLACEHOLDER("propInfo", 10)                                                                        \
    QVXTB_PLACEHOLDER("propInfo", 11)                                                                        \
    QVXTB_PLACEHOLDER("propInfo", 12)                                                                        \
    QVXTB_PLACEHOLDER("propInfo", 13)
#define QVXTB_ENGINE_PLACEHOLDERS                                                                            \
    QVXTB_PLACEHOLDER("engine", 3)                                                                           \
    QVXTB_PLACEHOLDER("engine", 4)
