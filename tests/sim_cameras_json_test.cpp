// The camera description: loading, defaults and error messages that name the offending field.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "tests/sim_cameras_support.h"

namespace simtest {
namespace {

using SimCamerasJson = SimCameras;

std::string loadError(const std::string& json) {
    try {
        qvxsim::loadCameras(json);
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    return "";
}

TEST_F(SimCamerasJson, ErrorsNameTheField) {
    EXPECT_NE(loadError("{").find("not valid JSON"), std::string::npos);
    EXPECT_NE(loadError("{}").find("devices"), std::string::npos);
    EXPECT_NE(loadError(R"({"devices":[{"serial":1}]})").find("devices[0].name"), std::string::npos);
    EXPECT_NE(loadError(R"({"devices":[{"name":"A","descriptors":[{"colorformat":"Y800","max":[1]}]}]})")
                  .find("devices[0].descriptors[0].max"),
              std::string::npos);
    EXPECT_NE(loadError(R"({"devices":[{"name":"A","colour":1}]})").find("devices[0].colour: unknown key"),
              std::string::npos);
    EXPECT_NE(
        loadError(R"({"devices":[{"name":"A","vcd":[{"name":"G","elements":[{"name":"V","id":"bogus"}]}]}]})")
            .find("devices[0].vcd[0].elements[0].id"),
        std::string::npos);
    EXPECT_NE(
        loadError(R"({"devices":[{"name":"A","faults":{"openDevice":true}}]})").find("faults.openDevice"),
        std::string::npos);
    EXPECT_NE(loadError(R"({"devices":[{"name":"A","serial":"12z"}]})").find("devices[0].serial"),
              std::string::npos);
}

TEST_F(SimCamerasJson, FailedLoadKeepsThePreviousSet) {
    qvxsim::loadCameras(R"({"devices":[{"name":"Kept","descriptors":[]}]})");
    EXPECT_THROW(qvxsim::loadCameras(R"({"devices":[{"name":5}]})"), std::invalid_argument);
    KapriLib::Grabber g;
    const auto devices = listOf(g.getAvailableVideoCaptureDevices_());
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_STREQ(devices[0].c_str(), "Kept");
}

TEST_F(SimCamerasJson, DefaultSetHasTheDocumentedCameras) {
    KapriLib::Grabber g;
    const auto devices = listOf(g.getAvailableVideoCaptureDevices_());
    ASSERT_GE(devices.size(), 4u);
    std::vector<std::string> names;
    for (const auto& d : devices) names.push_back(d.c_str());
    for (const char* expected :
         {"QVX Norm Cam NC-2", "QVX ROI Cam R-5M", "QVX Colour Cam C-1", "QVX Fast Cam F-5M"})
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
    // Every device of the default set opens and has a current format.
    for (const auto& name : names) {
        ASSERT_TRUE(g.openDev(name.c_str())) << name;
        EXPECT_TRUE(g.getVideoFormat().isValid()) << name;
    }
    g.closeDev();
}

TEST_F(SimCamerasJson, EnvironmentReplacesTheDefaultSet) {
    const std::string path = ::testing::TempDir() + "sim_cameras_env.json";
    {
        std::ofstream out(path);
        out << R"({"devices":[{"name":"From File","descriptors":[]}]})";
    }
#if defined(_WIN32)
    _putenv_s("QVX_CAMERAS", path.c_str());
    qvxsim::useDefaultCameras();
    _putenv_s("QVX_CAMERAS", "");
#else
    ::setenv("QVX_CAMERAS", path.c_str(), 1);
    qvxsim::useDefaultCameras();
    ::unsetenv("QVX_CAMERAS");
#endif
    {
        KapriLib::Grabber g;
        const auto devices = listOf(g.getAvailableVideoCaptureDevices_());
        ASSERT_EQ(devices.size(), 1u);
        EXPECT_STREQ(devices[0].c_str(), "From File");
    }
    qvxsim::loadCamerasFromFile(path);
    EXPECT_THROW(qvxsim::loadCamerasFromFile(path + ".missing"), std::invalid_argument);
    std::remove(path.c_str());
}

TEST_F(SimCamerasJson, ReadmeExampleLoads) {
    std::ifstream in(std::string(QVX_SOURCE_DIR) + "/sim/cameras/README.md");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto start = text.rfind("```json\n");
    ASSERT_NE(start, std::string::npos);
    const auto end = text.find("```", start + 8);
    ASSERT_NO_THROW(qvxsim::loadCameras(text.substr(start + 8, end - start - 8)));
    KapriLib::Grabber g;
    ASSERT_TRUE(g.openDev("Example Cam"));
    EXPECT_EQ(formatText(g.getVideoFormat()), "Y800 (1024x768)");
    g.closeDev();
}

TEST_F(SimCamerasJson, DefaultTextIsTheCompiledInDocument) {
    EXPECT_NE(qvxsim::defaultCamerasJson().find("QVX ROI Cam R-5M"), std::string::npos);
    EXPECT_NO_THROW(qvxsim::loadCameras(qvxsim::defaultCamerasJson()));
}

} // namespace
} // namespace simtest
