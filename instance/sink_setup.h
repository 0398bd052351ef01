// The colour format table of the frame sink: which sink format and host frame type a format gets.
#pragma once

#include <string>

#include "grabber/sink.h"

namespace qvx {

struct SinkFormat {
    KapriLib::tColorformatEnum colorformat;
    int frameType;
    bool needsOverlayPosition;
};

// Compared exactly, case and length; any other name gets 32-bit colour.
SinkFormat sinkFormatFor(const std::string& colorformatName);

} // namespace qvx
