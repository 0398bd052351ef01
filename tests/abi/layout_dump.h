// Reads clang's virtual-table and record-layout dumps (-fdump-vtable-layouts, -fdump-record-layouts).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace qvx_abi {

// One function entry of a virtual table, RTTI and offset entries left out.
struct TableEntry {
    std::string name; // unqualified: "getROI", "~IAdaptor"
    std::string text; // as dumped: "void imaqkit::IAdaptor::getROI(int *, int *, int *, int *)"
    bool destructor = false;
    std::string kind; // the dump's bracket notes: "scalar deleting", "complete", "deleting pure", ""
};

struct Field {
    long offset = 0;
    std::string type;
    std::string name;
};

struct Record {
    long size = -1;
    bool tablePointerAtZero = false;
    std::vector<Field> fields; // the record's own fields, in order; bases and nested fields left out
};

// Class name (as the dump writes it, with its namespaces) to its primary table, entries from slot 0.
std::map<std::string, std::vector<TableEntry>> readTables(const std::string& dump);

// Record name without template arguments ("KapriLib::dvector") to the first layout dumped under it.
std::map<std::string, Record> readRecords(const std::string& dump);

// The unqualified function name of one dumped entry text.
std::string functionName(const std::string& text);

} // namespace qvx_abi
