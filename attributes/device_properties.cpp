// The two enumerated device properties the grabber answers itself: frame rate and input channel.
#include <cstdio>

#include "attributes/device_attributes.h"
#include "attributes/roi_capable.h"
#include "grabber/snapshot.h"

namespace qvx {

namespace {

// Rates are shown as the library's single-precision value would print, right-aligned to five
// characters; ten bytes hold every rate below one million, larger ones are cut, never overflowed.
void formatRate(double rate, char (&text)[10]) {
    std::snprintf(text, sizeof text, "%5.2f", static_cast<double>(static_cast<float>(rate)));
}

const char* orEmpty(const char* text) { return text != nullptr ? text : ""; }

} // namespace

void addFrameRateProperty(const KapriLib::Grabber& grabber, imaqkit::IPropFactory* propFactory) {
    // A region-of-interest camera picks its rate itself whenever the region changes.
    const bool roiCapable = isROICapable(grabber);
    if (!grabber.isFrameRateListAvailable() || roiCapable) return;

    OutputDebugStringA(orEmpty(grabber.getVideoFormat().c_str()));

    const auto snapshot = KapriLib::snapshotFPS(grabber);
    const std::vector<double>* rates = snapshot.get();
    if (rates == nullptr || rates->empty()) return;

    float best = 0.0f;
    std::size_t fastest = 0;
    for (std::size_t index = 0; index < rates->size(); ++index) {
        const auto rate = static_cast<float>((*rates)[index]);
        if (rate > best) {
            best = rate;
            fastest = index;
        }
    }

    char text[10];
    formatRate((*rates)[fastest], text);
    const imaqkit::PropHandle property =
        propFactory->createEnumProperty("FrameRate", text, static_cast<int>(fastest));
    if (property == nullptr) return;
    for (std::size_t index = 0; index < rates->size(); ++index) {
        if (index == fastest) continue;
        formatRate((*rates)[index], text);
        propFactory->addEnumValue(property, text, static_cast<int>(index));
    }
    propFactory->setPropReadOnly(property, "whileRunning");
    propFactory->addProperty(property);
}

void addInputChannelProperty(const KapriLib::Grabber& grabber, imaqkit::IPropFactory* propFactory) {
    const auto snapshot = KapriLib::snapshotInputChannels(grabber);
    const std::vector<KapriLib::AnalogChannelItem>* channels = snapshot.get();
    if (channels == nullptr || channels->empty()) return;

    const imaqkit::PropHandle property =
        propFactory->createEnumProperty("InputChannel", orEmpty(channels->front().c_str()), 0);
    if (property == nullptr) return;
    for (std::size_t index = 1; index < channels->size(); ++index)
        propFactory->addEnumValue(property, orEmpty((*channels)[index].c_str()), static_cast<int>(index));
    propFactory->setPropReadOnly(property, "never");
    propFactory->addProperty(property);
}

} // namespace qvx
