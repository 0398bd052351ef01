// Frames as Octave arrays: H×W for monochrome (uint8 or uint16), H×W×3 uint8 in RGB order for colour.
#pragma once

#include <vector>

#include "mex.h"
#include "sim/toolbox/toolbox.h"

namespace qvxgw {

// Bands of a frame of this type as the data carries them (1 for monochrome, 3 for colour); 0 when unknown.
int frameBands(int frameType);
// "uint8" or "uint16"; "" when unknown.
const char* frameClassName(int frameType);

// The class a frame of this type has in Octave: uint8, or uint16 for 16-bit monochrome.
mxClassID nativeClass(int frameType);
mxArray* frameArray(const qvxtb::Frame& frame);
// H×W×B×N of class `target` (integers saturate), or an N×1 cell of H×W×B frames; every frame must have
// the first one's type and size.
mxArray* framesArray(const std::vector<const qvxtb::Frame*>& frames, mxClassID target, bool cell);

} // namespace qvxgw
