// Stand-in <oleauto.h> for the MSVC layout probe.
#pragma once
#include <windows.h>
