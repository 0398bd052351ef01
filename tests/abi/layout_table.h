// The boundary layout table (tests/abi/boundary_layout.txt) and the checks of one ABI's dump against it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/abi/layout_dump.h"

namespace qvx_abi {

struct SlotRow {
    std::string cls;
    int slot = 0;
    std::string operation; // "~" for the virtual destructor
    std::string abi;       // "msvc" or "itanium": the row holds under that ABI only; "": under both
};

struct FieldRow {
    std::string name;
    long offset = 0;
    std::string kind; // "", "ptr", "i32", "u64"
};

struct RecordRow {
    std::string cls;
    long size = 0;
    bool tablePointer = false;
    std::vector<FieldRow> fields;
};

struct LayoutTable {
    std::vector<SlotRow> slots;
    std::vector<RecordRow> records;

    // The classes of the slot rows, in the table's order, each once.
    std::vector<std::string> classes() const;
    bool hasDestructor(const std::string& cls) const;
};

// Throws std::runtime_error naming the line that cannot be read.
LayoutTable parseLayoutTable(const std::string& text);

enum class Abi { Microsoft, Itanium };

// Every way in which the dumped tables differ from the table; empty when they agree.
std::vector<std::string> checkTables(const LayoutTable& table,
                                     const std::map<std::string, std::vector<TableEntry>>& dumped, Abi abi);

// Every way in which the dumped records differ from the table; empty when they agree.
std::vector<std::string> checkRecords(const LayoutTable& table, const std::map<std::string, Record>& dumped);

} // namespace qvx_abi
