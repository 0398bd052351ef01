// The camera's user features: a walk of its GenICam categories from Root, with the library's own left out.
#include "genicam/feature_list.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace qvxgenicam {
namespace {

// Categories that hold no setting of the picture: transport, device identity and reset, debugging.
bool skippedCategory(const std::string& name) {
    static const char* const kSkipped[] = {"TransportLayerControl", "DeviceControl", "Debug",
                                           "TestControl",           "EventControl",  "ChunkDataControl",
                                           "FileAccessControl"};
    for (const char* skipped : kSkipped)
        if (name == skipped) return true;
    return name.find("Transport") != std::string::npos || name.find("Test") != std::string::npos;
}

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

bool endsWith(const std::string& text, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

// What the library itself drives (format, size, region, acquisition), or what belongs to the transport,
// the registers or testing. Writing these behind the library's back would break its frames, or the camera.
bool skippedFeature(const std::string& name) {
    static const char* const kDriven[] = {"PixelFormat",     "Width",
                                          "Height",          "OffsetX",
                                          "OffsetY",         "WidthMax",
                                          "HeightMax",       "SensorWidth",
                                          "SensorHeight",    "AcquisitionStart",
                                          "AcquisitionStop", "AcquisitionAbort",
                                          "AcquisitionMode", "AcquisitionFrameCount",
                                          "PayloadSize",     "TLParamsLocked",
                                          "ReverseX",        "ReverseY"};
    for (const char* driven : kDriven)
        if (name == driven) return true;
    static const char* const kPrefixes[] = {"Test",    "Gev",   "TL",    "Device", "Binning", "Decimation",
                                            "UserSet", "Chunk", "Event", "Stream", "U3V",     "File"};
    for (const char* prefix : kPrefixes)
        if (startsWith(name, prefix)) return true;
    return endsWith(name, "Register") || endsWith(name, "Reg");
}

// Only the node kinds GenICam meant for users: registers, converters and formula nodes implement the
// integer and float interfaces too, as the camera's plumbing.
bool kindOf(ArvGcNode* node, FeatureKind& kind) {
    if (ARV_IS_GC_ENUMERATION(node))
        kind = FeatureKind::Enumeration;
    else if (ARV_IS_GC_COMMAND(node))
        kind = FeatureKind::Command;
    else if (ARV_IS_GC_BOOLEAN(node))
        kind = FeatureKind::Boolean;
    else if (ARV_IS_GC_FLOAT_NODE(node))
        kind = FeatureKind::Float;
    else if (ARV_IS_GC_INTEGER_NODE(node))
        kind = FeatureKind::Integer;
    else
        return false;
    return true;
}

bool offered(ArvGcNode* node, FeatureKind kind) {
    ArvGcFeatureNode* feature = ARV_GC_FEATURE_NODE(node);
    if (arv_gc_feature_node_get_visibility(feature) == ARV_GC_VISIBILITY_INVISIBLE) return false;
    GError* error = nullptr;
    const gboolean implemented = arv_gc_feature_node_is_implemented(feature, &error);
    g_clear_error(&error);
    const gboolean available = arv_gc_feature_node_is_available(feature, &error);
    g_clear_error(&error);
    if (!implemented || !available) return false;
    const ArvGcAccessMode mode = arv_gc_feature_node_get_actual_access_mode(feature);
    if (kind == FeatureKind::Command) return mode == ARV_GC_ACCESS_MODE_WO || mode == ARV_GC_ACCESS_MODE_RW;
    return mode == ARV_GC_ACCESS_MODE_RW;
}

void consider(ArvGcNode* node, const char* name, std::vector<Feature>& out) {
    if (!ARV_IS_GC_FEATURE_NODE(node) || skippedFeature(name)) return;
    Feature feature;
    feature.name = name;
    if (kindOf(node, feature.kind) && offered(node, feature.kind)) out.push_back(feature);
}

// Every feature reached from a category is marked seen, the ones of skipped categories included.
void walk(ArvGc* genicam, const char* name, bool skipping, std::set<std::string>& seen,
          std::vector<Feature>& out) {
    if (!seen.insert(name).second) return; // categories may be shared; a cycle would never end
    ArvGcNode* node = arv_gc_get_node(genicam, name);
    if (node == nullptr) return;
    if (ARV_IS_GC_CATEGORY(node)) {
        skipping = skipping || skippedCategory(name);
        for (const GSList* it = arv_gc_category_get_features(ARV_GC_CATEGORY(node)); it != nullptr;
             it = it->next)
            walk(genicam, static_cast<const char*>(it->data), skipping, seen, out);
        return;
    }
    if (!skipping) consider(node, name, out);
}

// A feature outside every category still counts when it describes itself to users, or when it is the
// frame rate: some descriptions (Aravis's fake camera's among them) leave user features out of the tree.
// Helper nodes that a feature reads its value from have neither.
void uncategorised(ArvGc* genicam, const std::set<std::string>& seen, std::vector<Feature>& out) {
    ArvDomElement* top = arv_dom_document_get_document_element(ARV_DOM_DOCUMENT(genicam));
    if (top == nullptr) return;
    for (ArvDomNode* child = arv_dom_node_get_first_child(ARV_DOM_NODE(top)); child != nullptr;
         child = arv_dom_node_get_next_sibling(child)) {
        if (!ARV_IS_GC_FEATURE_NODE(child) || ARV_IS_GC_CATEGORY(child)) continue;
        ArvGcFeatureNode* feature = ARV_GC_FEATURE_NODE(child);
        const char* name = arv_gc_feature_node_get_name(feature);
        if (name == nullptr || seen.count(name) != 0) continue;
        const char* description = arv_gc_feature_node_get_description(feature);
        const char* display = arv_gc_feature_node_get_display_name(feature);
        const bool described =
            (description != nullptr && *description != '\0') || (display != nullptr && *display != '\0');
        if (described || std::strcmp(name, "AcquisitionFrameRate") == 0)
            consider(ARV_GC_NODE(child), name, out);
    }
}

// "GainAuto" for "Gain", "GainRaw" and "GainAbs"; "ExposureAuto" for "ExposureTime" and "ExposureTimeAbs".
std::vector<std::string> companionNames(std::string name) {
    std::vector<std::string> names{name + "Auto"};
    for (const char* suffix : {"Raw", "Abs"})
        if (endsWith(name, suffix)) {
            name.resize(name.size() - std::strlen(suffix));
            names.push_back(name + "Auto");
        }
    if (endsWith(name, "Time")) names.push_back(name.substr(0, name.size() - 4) + "Auto");
    return names;
}

} // namespace

std::vector<Feature> userFeatures(ArvDevice* device) {
    ArvGc* genicam = arv_device_get_genicam(device);
    std::vector<Feature> found;
    std::set<std::string> seen;
    if (genicam != nullptr) {
        walk(genicam, "Root", false, seen, found);
        uncategorised(genicam, seen, found);
    }
    // An "...Auto" enumeration or switch joins the feature it drives, as that item's auto element.
    std::vector<Feature> items;
    std::set<std::string> taken;
    for (Feature& f : found) {
        if (endsWith(f.name, "Auto")) continue;
        for (const std::string& companion : companionNames(f.name)) {
            const auto it = std::find_if(found.begin(), found.end(),
                                         [&](const Feature& c) { return c.name == companion; });
            if (it == found.end() || taken.count(companion) != 0) continue;
            if (it->kind != FeatureKind::Enumeration && it->kind != FeatureKind::Boolean) continue;
            f.autoName = companion;
            f.autoKind = it->kind;
            taken.insert(companion);
            break;
        }
    }
    for (const Feature& f : found)
        if (taken.count(f.name) == 0) items.push_back(f);
    return items;
}

bool isWritable(ArvDevice* device, const char* name) {
    ArvGcNode* node = arv_device_get_feature(device, name);
    if (node == nullptr || !ARV_IS_GC_FEATURE_NODE(node)) return false;
    GError* error = nullptr;
    const gboolean available = arv_gc_feature_node_is_available(ARV_GC_FEATURE_NODE(node), &error);
    g_clear_error(&error);
    const ArvGcAccessMode mode = arv_gc_feature_node_get_actual_access_mode(ARV_GC_FEATURE_NODE(node));
    return available && (mode == ARV_GC_ACCESS_MODE_RW || mode == ARV_GC_ACCESS_MODE_WO);
}

} // namespace qvxgenicam
