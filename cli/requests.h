// Applying what the user asked for (device, format, settings, region) and checking that the camera took it.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "cli/adaptor_watch.h"
#include "cli/session.h"

namespace qvxcli {

// Warns on standard error for every name that more than one device shares.
void warnSharedNames(const std::vector<qvxtb::DeviceInfo>& devices);

// The device the user means, by id or name. The adaptor opens devices by name, so when the device shares
// its name with an earlier one, the command would reach that one: not applied. A number is taken as an id;
// a device whose name is that number is warned about, since it can be reached by id only.
qvxtb::DeviceInfo resolveDevice(qvxtb::Adaptor& adaptor, const std::string& idOrName,
                                const GlobalOptions& options);

// The video input of the device in the format; an error box or warning while the format was applied, or
// frames of another size or pixel type than the format's name says, is "not applied".
std::unique_ptr<qvxtb::VideoInput> openVideoInput(qvxtb::Adaptor& adaptor, const std::string& device,
                                                  const std::string& format, const GlobalOptions& options,
                                                  AdaptorWatch& watch);

// Each "NAME=VALUE" in order; a warning or box while one is applied is "not applied".
void applySettings(qvxtb::VideoInput& input, const std::vector<std::string>& assignments,
                   const GlobalOptions& options, AdaptorWatch& watch);

// Sets the region and says the effective one when the adaptor fitted it; a warning or box, or a camera
// that keeps delivering whole frames, is "not applied".
void applyRegion(qvxtb::VideoInput& input, const std::array<int, 4>& region, const GlobalOptions& options,
                 AdaptorWatch& watch);

// "2448x2048 mono 8-bit frames": what the adaptor says its frames are.
std::string deliveredText(qvxtb::VideoInput& input);
const char* frameTypeText(int frameType);

} // namespace qvxcli
