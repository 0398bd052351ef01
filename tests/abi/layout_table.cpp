// Reads the boundary layout table and compares one ABI's dumped tables and records with it.
#include "tests/abi/layout_table.h"

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>

namespace qvx_abi {
namespace {

std::string abiName(Abi abi) { return abi == Abi::Microsoft ? "MSVC" : "Itanium"; }

// The slot of table index `index`: under Itanium a destructor at slot 0 fills indices 0 and 1.
int slotOf(std::size_t index, bool destructor, Abi abi) {
    const int i = static_cast<int>(index);
    return abi == Abi::Itanium && destructor && i > 0 ? i - 1 : i;
}

std::size_t indexOf(int slot, bool destructor, Abi abi) {
    return static_cast<std::size_t>(abi == Abi::Itanium && destructor && slot > 0 ? slot + 1 : slot);
}

bool kindMatches(const std::string& kind, const std::string& type) {
    if (kind.empty()) return true;
    if (kind == "ptr") return !type.empty() && type.back() == '*';
    static const std::regex i32(R"((^|[ <:])(int|int32_t|LONG)>?$)");
    static const std::regex u64(R"((^|[ <:])(uint64_t|unsigned long long)>?$)");
    if (kind == "i32") return std::regex_search(type, i32) && type.find("unsigned") == std::string::npos;
    if (kind == "u64") return std::regex_search(type, u64);
    return false;
}

} // namespace

std::vector<std::string> LayoutTable::classes() const {
    std::vector<std::string> names;
    for (const auto& row : slots)
        if (std::find(names.begin(), names.end(), row.cls) == names.end()) names.push_back(row.cls);
    return names;
}

bool LayoutTable::hasDestructor(const std::string& cls) const {
    return std::any_of(slots.begin(), slots.end(),
                       [&](const SlotRow& row) { return row.cls == cls && row.operation == "~"; });
}

LayoutTable parseLayoutTable(const std::string& text) {
    static const std::regex field(R"(^(\w+)@(\d+)(:(ptr|i32|u64))?$)");
    LayoutTable table;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        std::istringstream words(line);
        std::string kind;
        if (!(words >> kind) || kind[0] == '#') continue;
        const auto fail = [&]() {
            throw std::runtime_error("layout table line " + std::to_string(number) + ": " + line);
        };
        if (kind == "vtable") {
            SlotRow row;
            std::string extra;
            if (!(words >> row.cls >> row.slot >> row.operation) || row.slot < 0) fail();
            if (words >> row.abi && row.abi != "msvc" && row.abi != "itanium") fail();
            if (words >> extra) fail();
            if (row.operation == "~" && row.slot != 0) fail();
            table.slots.push_back(row);
        } else if (kind == "record") {
            RecordRow row;
            if (!(words >> row.cls >> row.size)) fail();
            std::string item;
            while (words >> item) {
                std::smatch match;
                if (!std::regex_match(item, match, field)) fail();
                if (match[1] == "vptr") {
                    if (match[2] != "0") fail();
                    row.tablePointer = true;
                    continue;
                }
                row.fields.push_back({match[1], std::stol(match[2]), match[4]});
            }
            table.records.push_back(row);
        } else {
            fail();
        }
    }
    return table;
}

std::vector<std::string> checkTables(const LayoutTable& table,
                                     const std::map<std::string, std::vector<TableEntry>>& dumped, Abi abi) {
    std::vector<std::string> problems;
    const std::string tag = abiName(abi) + ": ";
    for (const std::string& cls : table.classes()) {
        const auto found = dumped.find(cls);
        if (found == dumped.end()) {
            problems.push_back(tag + cls + ": no virtual table in the dump");
            continue;
        }
        const std::vector<TableEntry>& entries = found->second;
        const bool destructor = table.hasDestructor(cls);

        // The destructor rule: one deleting entry under MSVC, complete and deleting under Itanium.
        std::vector<std::string> destructorKinds;
        for (const auto& entry : entries)
            if (entry.destructor) destructorKinds.push_back(entry.kind);
        std::vector<std::string> wanted;
        if (destructor)
            wanted = abi == Abi::Microsoft ? std::vector<std::string>{"deleting"}
                                           : std::vector<std::string>{"complete", "deleting"};
        bool ruleHolds = destructorKinds.size() == wanted.size();
        for (std::size_t i = 0; ruleHolds && i < wanted.size(); ++i)
            ruleHolds = entries[i].destructor && entries[i].kind.find(wanted[i]) != std::string::npos;
        if (!ruleHolds)
            problems.push_back(tag + cls + ": " + std::to_string(destructorKinds.size()) +
                               " destructor entries where " + std::to_string(wanted.size()) +
                               " at the start of the table belong");

        for (const auto& row : table.slots) {
            if (row.cls != cls || row.operation == "~") continue;
            if (!row.abi.empty() && row.abi != (abi == Abi::Microsoft ? "msvc" : "itanium")) continue;
            const std::size_t index = indexOf(row.slot, destructor, abi);
            const std::string actual = index < entries.size() ? entries[index].name : "nothing";
            if (actual != row.operation)
                problems.push_back(tag + cls + ": slot " + std::to_string(row.slot) + " must be " +
                                   row.operation + ", table index " + std::to_string(index) + " holds " +
                                   actual);
        }

        // MSVC orders overloads of one name together, so an overload would move its neighbours.
        std::set<std::string> names;
        for (const auto& entry : entries)
            if (!entry.destructor && !names.insert(entry.name).second)
                problems.push_back(tag + cls + ": overloaded virtual operation " + entry.name);

        // A placeholder is named after the slot it holds, so that the order stays readable.
        static const std::regex placeholder(R"(^slot(\d+)$)");
        for (std::size_t i = 0; i < entries.size(); ++i) {
            std::smatch match;
            if (!std::regex_match(entries[i].name, match, placeholder)) continue;
            const int slot = slotOf(i, destructor, abi);
            if (std::stoi(match[1]) != slot)
                problems.push_back(tag + cls + ": placeholder " + entries[i].name + " sits in slot " +
                                   std::to_string(slot));
        }
    }
    return problems;
}

std::vector<std::string> checkRecords(const LayoutTable& table, const std::map<std::string, Record>& dumped) {
    std::vector<std::string> problems;
    for (const auto& row : table.records) {
        const auto found = dumped.find(row.cls);
        if (found == dumped.end()) {
            problems.push_back(row.cls + ": no record layout in the dump");
            continue;
        }
        const Record& record = found->second;
        if (record.size != row.size)
            problems.push_back(row.cls + ": size " + std::to_string(record.size) + " instead of " +
                               std::to_string(row.size));
        if (record.tablePointerAtZero != row.tablePointer)
            problems.push_back(
                row.cls + (row.tablePointer ? ": no table pointer at offset 0" : ": has a table pointer"));
        std::string want, have;
        for (const auto& field : row.fields) want += " " + field.name + "@" + std::to_string(field.offset);
        for (const auto& field : record.fields) have += " " + field.name + "@" + std::to_string(field.offset);
        if (want != have) problems.push_back(row.cls + ": fields" + have + " instead of" + want);
        for (std::size_t i = 0; i < row.fields.size() && i < record.fields.size(); ++i)
            if (!kindMatches(row.fields[i].kind, record.fields[i].type))
                problems.push_back(row.cls + ": field " + record.fields[i].name + " is " +
                                   record.fields[i].type + ", not " + row.fields[i].kind);
    }
    return problems;
}

} // namespace qvx_abi
