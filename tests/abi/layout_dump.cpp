// Reads clang's virtual-table and record-layout dumps into tables and records.
#include "tests/abi/layout_dump.h"

#include <cctype>
#include <regex>
#include <sstream>

namespace qvx_abi {
namespace {

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string withoutTemplateArguments(const std::string& name) { return name.substr(0, name.find('<')); }

std::string withoutTag(const std::string& type) {
    for (const char* tag : {"class ", "struct ", "union "})
        if (type.rfind(tag, 0) == 0) return type.substr(std::string(tag).size());
    return type;
}

} // namespace

std::string functionName(const std::string& text) {
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '<') ++depth;
        if (c == '>') --depth;
        if (c != '(' || depth != 0) continue;
        std::size_t start = i;
        while (start > 0 && (std::isalnum(static_cast<unsigned char>(text[start - 1])) ||
                             text[start - 1] == '_' || text[start - 1] == '~'))
            --start;
        return text.substr(start, i - start);
    }
    return text;
}

std::map<std::string, std::vector<TableEntry>> readTables(const std::string& dump) {
    // "VFTable for 'IMAQInterface' in 'IAdaptor' (15 entries)." (Microsoft) and
    // "Vtable for 'IAdaptor' (17 entries)." (Itanium); the class is the last name quoted.
    static const std::regex header(R"(^(VFTable|Vtable) for (.*) \(\d+ entr(y|ies)\)\.$)");
    static const std::regex quoted(R"('([^']*)')");
    static const std::regex entry(R"(^\s*\d+ \| (.*)$)");
    static const std::regex note(R"( \[([^\]]*)\]$)");
    std::map<std::string, std::vector<TableEntry>> tables;
    std::istringstream lines(dump);
    std::string line;
    std::vector<TableEntry>* current = nullptr;
    bool pastRtti = false;
    std::smatch match;
    while (std::getline(lines, line)) {
        if (std::regex_match(line, match, header)) {
            std::string names = match[2];
            std::string last;
            for (std::sregex_iterator it(names.begin(), names.end(), quoted), end; it != end; ++it)
                last = (*it)[1];
            // A class with more than one table (multiple bases) keeps its first, primary one.
            current = tables.count(last) ? nullptr : &tables[last];
            pastRtti = false;
            continue;
        }
        if (line.empty() || !std::regex_match(line, match, entry)) {
            // Entries are indented; a blank line or any other block (the index lists) ends the table.
            if (line.empty() || line[0] != ' ') current = nullptr;
            continue;
        }
        if (current == nullptr) continue;
        std::string text = match[1];
        if (endsWith(text, " RTTI")) {
            pastRtti = true;
            continue;
        }
        if (!pastRtti) continue; // offset-to-top and friends
        TableEntry item;
        std::smatch noted;
        while (std::regex_search(text, noted, note)) { // "[complete] [pure]": every note counts
            item.kind = std::string(noted[1]) + (item.kind.empty() ? "" : " " + item.kind);
            text = text.substr(0, static_cast<std::size_t>(noted.position(0)));
        }
        item.text = text;
        item.name = functionName(text);
        item.destructor = !item.name.empty() && item.name[0] == '~';
        current->push_back(item);
    }
    return tables;
}

std::map<std::string, Record> readRecords(const std::string& dump) {
    static const std::regex row(R"(^\s*(\d*) \|( *)(.*)$)");
    static const std::regex size(R"(\[sizeof=(\d+))");
    std::map<std::string, Record> records;
    std::istringstream lines(dump);
    std::string line;
    Record* current = nullptr;
    bool inLayout = false;
    std::smatch match;
    while (std::getline(lines, line)) {
        if (line.rfind("*** Dumping", 0) == 0) {
            inLayout = line.find("AST Record Layout") != std::string::npos;
            current = nullptr;
            continue;
        }
        if (!inLayout || !std::regex_match(line, match, row)) continue;
        const std::string offset = match[1];
        const std::size_t indent = match[2].length();
        const std::string text = match[3];
        if (offset.empty()) {
            std::smatch sized;
            if (current != nullptr && std::regex_search(text, sized, size))
                current->size = std::stol(sized[1]);
            continue;
        }
        if (indent <= 1) { // the record's own line
            const std::string name = withoutTemplateArguments(withoutTag(text));
            current = records.count(name) ? nullptr : &records[name];
            continue;
        }
        if (current == nullptr) continue;
        const bool tablePointer = endsWith(text, "vftable pointer)") || endsWith(text, "vtable pointer)");
        if (tablePointer && offset == "0") current->tablePointerAtZero = true;
        if (indent != 3 || tablePointer || endsWith(text, "base)")) continue;
        const std::size_t split = text.find_last_of(' ');
        current->fields.push_back({std::stol(offset), text.substr(0, split), text.substr(split + 1)});
    }
    return records;
}

} // namespace qvx_abi
