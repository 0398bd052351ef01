// Which of a camera's GenICam features the VCD tree offers, and as what kind of element.
#pragma once

#include <arv.h>

#include <string>
#include <vector>

namespace qvxgenicam {

enum class FeatureKind { Integer, Float, Boolean, Command, Enumeration };

// One VCD item: a feature, and its "...Auto" companion as the item's auto element when it has one.
struct Feature {
    std::string name;
    FeatureKind kind = FeatureKind::Integer;
    std::string autoName; // empty: no companion
    FeatureKind autoKind = FeatureKind::Enumeration;
};

// The features a user would set: readable and writable (commands: writable), not invisible, and none of
// the transport, register, test or device-control features, nor those the library drives itself.
std::vector<Feature> userFeatures(ArvDevice* device);

// Whether a feature exists on this camera and can be written now.
bool isWritable(ArvDevice* device, const char* name);

} // namespace qvxgenicam
