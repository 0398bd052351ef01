// Compiles the boundary headers for 64-bit Windows (MSVC ABI) and Linux (Itanium ABI) and holds clang's
// dumps of their virtual tables and records against tests/abi/boundary_layout.txt.
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/abi/layout_dump.h"
#include "tests/abi/layout_table.h"

namespace qvx_abi {
namespace {

const std::string kSourceDir = QVX_SOURCE_DIR;
const std::string kWorkDir = QVX_ABI_WORK_DIR;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

struct Dump {
    int status = -1;
    std::string text;
};

// Microsoft's layout needs no Windows SDK: the few library headers the boundary headers name are
// stand-ins of the right sizes (tests/abi/msvc_headers).
Dump compileAndDump(const std::string& source, Abi abi, const std::string& name) {
    // Per process: ctest runs the cases of this program side by side.
    const std::string base = kWorkDir + "/" + name + (abi == Abi::Microsoft ? "-msvc-" : "-itanium-") +
                             std::to_string(static_cast<long>(getpid()));
    writeFile(base + ".cpp", source);
    std::string command = "'" + std::string(QVX_ABI_CLANG) + "' -std=c++17 -I'" + kSourceDir + "' ";
    if (abi == Abi::Microsoft)
        command +=
            "--target=x86_64-pc-windows-msvc -fms-compatibility -fms-extensions -nostdinc++ -nostdlibinc "
            "-ffreestanding -isystem '" +
            kSourceDir + "/tests/abi/msvc_headers' ";
    else
        command += "--target=x86_64-linux-gnu ";
    command += "-S -o /dev/null -Xclang -fdump-vtable-layouts -Xclang -fdump-record-layouts '" + base +
               ".cpp' >'" + base + ".dump' 2>&1";
    Dump dump;
    dump.status = std::system(command.c_str());
    dump.text = readFile(base + ".dump");
    return dump;
}

// Taking the address of a virtual operation makes the compiler lay out its class's table; deleting
// through a pointer does the same for a class that has only its destructor.
std::string probeSource(const LayoutTable& table, const std::string& prelude) {
    std::string source = prelude + "\nnamespace qvx_abi_probe {\n";
    int n = 0;
    for (const std::string& cls : table.classes()) {
        bool touched = false;
        for (const auto& row : table.slots) {
            if (row.cls != cls || row.operation == "~") continue;
            source += "auto touch" + std::to_string(n++) + " = &" + cls + "::" + row.operation + ";\n";
            touched = true;
        }
        if (!touched) source += "void touch" + std::to_string(n++) + "(" + cls + "* p) { delete p; }\n";
    }
    return source + "} // namespace qvx_abi_probe\n";
}

// The compiler's complaints out of a dump, which is mostly layouts.
std::string compilerErrors(const Dump& dump) {
    std::istringstream lines(dump.text);
    std::string line, errors;
    while (std::getline(lines, line))
        if (line.find("error:") != std::string::npos) errors += line + "\n";
    return "the probe did not compile:\n" + (errors.empty() ? dump.text.substr(0, 4000) : errors);
}

std::string joined(const std::vector<std::string>& problems) {
    std::string text;
    for (const auto& problem : problems) text += "  " + problem + "\n";
    return text;
}

class BoundaryLayout : public ::testing::TestWithParam<Abi> {
protected:
    static void SetUpTestSuite() {
        table_ = parseLayoutTable(readFile(kSourceDir + "/tests/abi/boundary_layout.txt"));
    }

    // Compiled once per ABI and process.
    const Dump& dumped() const {
        const Abi abi = GetParam();
        if (!dumps_.count(abi))
            dumps_[abi] = compileAndDump(probeSource(table_, "#include \"tests/abi/boundary_probe.h\"\n"),
                                         abi, "boundary");
        return dumps_[abi];
    }

    static LayoutTable table_;
    static std::map<Abi, Dump> dumps_;
};

LayoutTable BoundaryLayout::table_;
std::map<Abi, Dump> BoundaryLayout::dumps_;

TEST_P(BoundaryLayout, EveryVirtualTableMatchesTheSlotTable) {
    const Dump& dump = dumped();
    ASSERT_EQ(dump.status, 0) << compilerErrors(dump);
    ASSERT_FALSE(table_.classes().empty());
    const auto problems = checkTables(table_, readTables(dump.text), GetParam());
    EXPECT_TRUE(problems.empty()) << joined(problems);
}

TEST_P(BoundaryLayout, SharedRecordsKeepTheirFieldOrderAndOffsets) {
    const Dump& dump = dumped();
    ASSERT_EQ(dump.status, 0) << compilerErrors(dump);
    ASSERT_EQ(table_.records.size(), 4u);
    const auto problems = checkRecords(table_, readRecords(dump.text));
    EXPECT_TRUE(problems.empty()) << joined(problems);
}

INSTANTIATE_TEST_SUITE_P(BothAbis, BoundaryLayout, ::testing::Values(Abi::Microsoft, Abi::Itanium),
                         [](const ::testing::TestParamInfo<Abi>& info) {
                             return std::string(info.param == Abi::Microsoft ? "Msvc" : "Itanium");
                         });

// The check itself, on a small interface with every fault it must see.
TEST(BoundaryLayoutCheck, SeesAMovedSlotAnOverloadAMisnamedPlaceholderAndAMissingDestructor) {
    const LayoutTable table = parseLayoutTable("vtable probe::Moved 0 ~\n"
                                               "vtable probe::Moved 1 first\n"
                                               "vtable probe::Moved 2 second\n"
                                               "vtable probe::NoDestructor 0 ~\n"
                                               "vtable probe::NoDestructor 1 only\n"
                                               "record probe::Pair 16 first@0:ptr count@8:u64\n");
    const std::string prelude =
        "namespace probe {\n"
        "struct Moved { virtual ~Moved(); virtual void second(); virtual void first();\n"
        "  virtual void slot4(); virtual void over(int); virtual void over(double); };\n"
        "struct NoDestructor { virtual void only(); };\n"
        "struct Pair { int* first; unsigned count; };\n"
        "constexpr auto pairSize = sizeof(Pair);\n"
        "}\n";
    for (Abi abi : {Abi::Microsoft, Abi::Itanium}) {
        const Dump dump = compileAndDump(probeSource(table, prelude), abi, "faults");
        ASSERT_EQ(dump.status, 0) << compilerErrors(dump);
        const std::string tables = joined(checkTables(table, readTables(dump.text), abi));
        const bool itanium = abi == Abi::Itanium;
        EXPECT_NE(tables.find("probe::Moved: slot 1 must be first, table index " +
                              std::string(itanium ? "2" : "1") + " holds second"),
                  std::string::npos)
            << tables;
        EXPECT_NE(tables.find("probe::Moved: slot 2 must be second"), std::string::npos) << tables;
        EXPECT_NE(tables.find("probe::Moved: overloaded virtual operation over"), std::string::npos)
            << tables;
        EXPECT_NE(tables.find("probe::Moved: placeholder slot4 sits in slot 3"), std::string::npos) << tables;
        EXPECT_NE(tables.find("probe::NoDestructor: 0 destructor entries where"), std::string::npos)
            << tables;
        const std::string records = joined(checkRecords(table, readRecords(dump.text)));
        EXPECT_NE(records.find("probe::Pair: field count is unsigned int, not u64"), std::string::npos)
            << records;
    }
}

TEST(BoundaryLayoutCheck, ATableLineItCannotReadIsAnError) {
    EXPECT_THROW(parseLayoutTable("vtable probe::X one first\n"), std::runtime_error);
    EXPECT_THROW(parseLayoutTable("vtable probe::X 3 ~\n"), std::runtime_error);
    EXPECT_THROW(parseLayoutTable("record probe::X 8 field\n"), std::runtime_error);
    EXPECT_THROW(parseLayoutTable("slots probe::X 1 first\n"), std::runtime_error);
    EXPECT_THROW(parseLayoutTable("vtable probe::X 1 first windows\n"), std::runtime_error);
    EXPECT_EQ(parseLayoutTable("vtable probe::X 1 first itanium\n").slots.at(0).abi, "itanium");
}

// A row for one ABI is held against that ABI's table only.
TEST(BoundaryLayoutCheck, ARowForOneAbiHoldsUnderThatAbiOnly) {
    const LayoutTable table = parseLayoutTable("vtable probe::Split 0 ~\n"
                                               "vtable probe::Split 1 second itanium\n"
                                               "vtable probe::Split 1 first msvc\n");
    const std::string prelude =
        "namespace probe {\n"
        "struct Split { virtual ~Split(); virtual void second(); virtual void first(); };\n"
        "}\n";
    for (Abi abi : {Abi::Microsoft, Abi::Itanium}) {
        const Dump dump = compileAndDump(probeSource(table, prelude), abi, "split");
        ASSERT_EQ(dump.status, 0) << compilerErrors(dump);
        const std::vector<std::string> problems = checkTables(table, readTables(dump.text), abi);
        if (abi == Abi::Microsoft)
            EXPECT_EQ(joined(problems),
                      "  MSVC: probe::Split: slot 1 must be first, table index 1 holds second\n");
        else
            EXPECT_TRUE(problems.empty()) << joined(problems);
    }
}

} // namespace
} // namespace qvx_abi
