// The metadata of frames as GETDATA and GETSNAPSHOT give it: AbsTime, and where frames are logged, their
// place in the acquisition.
#pragma once

#include <vector>

#include "mex.h"
#include "sim/toolbox/toolbox.h"

namespace qvxgw {

// The local time of a frame's time stamp (seconds since 1970) as a clock vector [Y M D h m s].
mxArray* clockVector(double seconds);

// An N×1 struct array with AbsTime, FrameNumber, RelativeFrame and TriggerIndex. `logged` is the number of
// frames of this acquisition taken out before the first of these; framesPerTrigger may be Inf.
mxArray* loggedMetadata(const std::vector<const qvxtb::Frame*>& frames, double logged,
                        double framesPerTrigger);

// A snapshot is logged nowhere: its metadata is its AbsTime alone.
mxArray* snapshotMetadata(const qvxtb::Frame& frame);

} // namespace qvxgw
