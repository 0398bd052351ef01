// Conversions between Octave's arrays and the gateway's C++ values: texts, numbers, cells and structs.
#pragma once

#include <string>
#include <vector>

#include "mex.h"
#include "sim/toolbox/toolbox.h"

namespace qvxgw {

// The arguments of one command, after the command's name; each accessor names the argument in its errors.
class Arguments {
public:
    Arguments(int count, const mxArray* const* values) : count_(count), values_(values) {}
    int count() const { return count_; }
    void expect(int count, const char* command) const;
    std::string text(int index, const char* what) const;
    double number(int index, const char* what) const;
    std::vector<double> numbers(int index, const char* what) const;
    const mxArray* raw(int index) const { return values_[index]; }

private:
    int count_;
    const mxArray* const* values_;
};

mxArray* makeText(const std::string& text);
mxArray* makeNumber(double value);
mxArray* makeLogical(bool value);
mxArray* makeRow(const std::vector<double>& values);
// A 1×N cell of char.
mxArray* makeTextCell(const std::vector<std::string>& texts);

// A scalar struct, or a 1×N struct array, whose fields are set by name in the order given at creation.
class StructBuilder {
public:
    StructBuilder(const std::vector<const char*>& fields, std::size_t count = 1);
    ~StructBuilder();
    StructBuilder(const StructBuilder&) = delete;
    StructBuilder& operator=(const StructBuilder&) = delete;
    void set(std::size_t index, const char* field, mxArray* value);
    mxArray* release();

private:
    mxArray* array_;
};

mxArray* makeValue(const qvxtb::PropertyValue& value);
// A char row becomes a text, a real numeric or logical scalar a double; anything else is refused.
qvxtb::PropertyValue toValue(const mxArray* value, const std::string& property);

} // namespace qvxgw
