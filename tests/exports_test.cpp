// The adaptor library exports its five entry points and nothing else of ours.
#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/adaptor_path.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

#if defined(_WIN32)
// The names in the DLL's export table, read from the loaded image.
std::set<std::string> definedDynamicSymbols(const std::string& path) {
    std::set<std::string> names;
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) return names;
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress != 0) {
        const auto* exports =
            reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
        const auto* nameOffsets = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
        for (DWORD i = 0; i < exports->NumberOfNames; ++i)
            names.insert(reinterpret_cast<const char*>(base + nameOffsets[i]));
        // Every exported function must have a name: an ordinal-only export would escape the name check.
        if (exports->NumberOfFunctions != exports->NumberOfNames) names.insert("<ordinal-only export>");
    }
    FreeLibrary(module);
    return names;
}
#else
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
#endif

bool isOurs(const std::string& name) {
    for (const char* marker : {"qvx", "QVX", "Kapri", "imaqkit", "Grabber", "VCD", "refcount", "smart_"})
        if (name.find(marker) != std::string::npos) return true;
    return false;
}

TEST(Exports, OnlyTheFiveEntryPointsAreOurs) {
    const std::set<std::string> names = definedDynamicSymbols(qvxtest::adaptorPath());
    ASSERT_FALSE(names.empty()) << "nm listed nothing for " << qvxtest::adaptorPath();
    const std::set<std::string> entryPoints = {"initializeAdaptor", "uninitializeAdaptor", "getAvailHW",
                                               "getDeviceAttributes", "createInstance"};
    for (const auto& entry : entryPoints) EXPECT_EQ(names.count(entry), 1u) << entry;
    for (const auto& name : names) {
        if (entryPoints.count(name) == 0) {
            EXPECT_FALSE(isOurs(name)) << name;
        }
    }
}

#if defined(_WIN32)
// The toolbox finds the entry points by name in the export table; a DLL that exported everything (mingw's
// default when nothing is marked) or by ordinal only would still load, so the table must be exact.
TEST(Exports, WindowsExportTableIsExactlyTheFiveEntryPoints) {
    const std::set<std::string> expected = {"createInstance", "getAvailHW", "getDeviceAttributes",
                                            "initializeAdaptor", "uninitializeAdaptor"};
    EXPECT_EQ(definedDynamicSymbols(qvxtest::adaptorPath()), expected);
}
#endif

} // namespace
