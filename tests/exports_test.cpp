// The adaptor library exports its five entry points and nothing else of ours.
#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace {

// The names `nm -D --defined-only` lists for a library.
std::set<std::string> definedDynamicSymbols(const std::string& path) {
    const std::string command = "nm -D --defined-only '" + path + "' 2>/dev/null";
    std::set<std::string> names;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return names;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type >> name) names.insert(name);
    }
    pclose(pipe);
    return names;
}

bool isOurs(const std::string& name) {
    for (const char* marker : {"qvx", "QVX", "Kapri", "imaqkit", "Grabber", "VCD", "refcount", "smart_"})
        if (name.find(marker) != std::string::npos) return true;
    return false;
}

TEST(Exports, OnlyTheFiveEntryPointsAreOurs) {
    const std::set<std::string> names = definedDynamicSymbols(QVX_ADAPTOR_PATH);
    ASSERT_FALSE(names.empty()) << "nm listed nothing for " << QVX_ADAPTOR_PATH;
    const std::set<std::string> entryPoints = {"initializeAdaptor", "uninitializeAdaptor", "getAvailHW",
                                               "getDeviceAttributes", "createInstance"};
    for (const auto& entry : entryPoints) EXPECT_EQ(names.count(entry), 1u) << entry;
    for (const auto& name : names) {
        if (entryPoints.count(name) == 0) {
            EXPECT_FALSE(isOurs(name)) << name;
        }
    }
}

} // namespace
