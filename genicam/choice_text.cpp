// The camera choices that name GenICam cameras rather than a camera file.
#include "genicam/genicam.h"

namespace qvxgenicam {

bool isGenicamChoice(const std::string& choice) {
    return choice == "genicam" || choice.rfind("genicam:", 0) == 0;
}

} // namespace qvxgenicam
