// The grabber library stand-in (placeholder until the virtual cameras land).
#include "grabber/grabber.h"

namespace KapriLib {
bool InitLibrary() { return true; }
void ExitLibrary() {}
} // namespace KapriLib
