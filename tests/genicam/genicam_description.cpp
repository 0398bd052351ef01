// A changed copy of Aravis's fake camera description, written for one test run.
#include <cstdio>
#include <stdexcept>

#include "tests/genicam/genicam_fixture.h"

namespace qvxtest {
namespace {

// Replaces the element that starts with `opening` up to its closing tag.
void replaceBlock(std::string& xml, const std::string& opening, const std::string& closing,
                  const std::string& replacement) {
    const auto start = xml.find(opening);
    if (start == std::string::npos) throw std::runtime_error("no " + opening + " in the fake's description");
    const auto end = xml.find(closing, start);
    xml.replace(start, end + closing.size() - start, replacement);
}

std::string fakeDescription() {
    arv_enable_interface("Fake");
    arv_set_fake_camera_genicam_filename(nullptr);
    GError* error = nullptr;
    ArvCamera* camera = arv_camera_new("Fake_1", &error);
    if (camera == nullptr) {
        const std::string message = error != nullptr ? error->message : "no camera";
        g_clear_error(&error);
        throw std::runtime_error("the in-process fake camera does not open: " + message);
    }
    std::size_t size = 0;
    const char* xml = arv_device_get_genicam_xml(arv_camera_get_device(camera), &size);
    std::string text(xml, size);
    g_object_unref(camera);
    return text;
}

} // namespace

std::string writeChangedDescription(const std::string& folder) {
    std::string xml = fakeDescription();
    replaceBlock(xml, "<Integer Name=\"SensorWidth\"", "</Integer>",
                 "<Integer Name=\"SensorWidth\" NameSpace=\"Standard\"><Value>1000</Value></Integer>");
    replaceBlock(xml, "<Integer Name=\"SensorHeight\"", "</Integer>",
                 "<Integer Name=\"SensorHeight\" NameSpace=\"Standard\"><Value>600</Value></Integer>");
    replaceBlock(xml, "<Integer Name=\"Width\"", "</Integer>",
                 "<Integer Name=\"Width\" NameSpace=\"Standard\"><pValue>WidthRegister</pValue>"
                 "<Min>16</Min><pMax>SensorWidth</pMax><Inc>8</Inc></Integer>");
    replaceBlock(xml, "<Integer Name=\"Height\"", "</Integer>",
                 "<Integer Name=\"Height\" NameSpace=\"Standard\"><pValue>HeightRegister</pValue>"
                 "<Min>8</Min><pMax>SensorHeight</pMax><Inc>4</Inc></Integer>");
    replaceBlock(xml, "<Integer Name=\"GainRaw\"", "</Integer>",
                 "<Float Name=\"Gain\" NameSpace=\"Standard\"><Description>Gain.</Description>"
                 "<pValue>GainConverter</pValue><Min>0</Min><pMax>GainLimit</pMax></Float>"
                 "<Converter Name=\"GainConverter\"><FormulaTo>FROM</FormulaTo><FormulaFrom>TO</FormulaFrom>"
                 "<pValue>GainRawRegister</pValue></Converter>"
                 "<Float Name=\"GainLimit\"><Description>Highest gain allowed.</Description>"
                 "<Value>10</Value><Min>0</Min><Max>10</Max></Float>");
    const std::string path = folder + "/changed-fake-camera.xml";
    // Created exclusively: a file already there, or a link someone placed, is not written through.
    std::FILE* out = std::fopen(path.c_str(), "wbx");
    if (out == nullptr) throw std::runtime_error("cannot create " + path);
    const bool written = std::fwrite(xml.data(), 1, xml.size(), out) == xml.size();
    if (std::fclose(out) != 0 || !written) throw std::runtime_error("cannot write " + path);
    return path;
}

} // namespace qvxtest
