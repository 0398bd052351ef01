// Conversions between Octave's arrays and the gateway's C++ values.
#include "matlab/octave/gateway/mx_values.h"

#include "matlab/octave/gateway/gateway_error.h"

namespace qvxgw {

void Arguments::expect(int count, const char* command) const {
    if (count_ != count) {
        throw GatewayError("imaq:gateway:arguments", std::string("The gateway command '") + command +
                                                         "' takes " + std::to_string(count) + " arguments.");
    }
}

std::string Arguments::text(int index, const char* what) const {
    const mxArray* value = index < count_ ? values_[index] : nullptr;
    if (value == nullptr || !mxIsChar(value) || mxGetM(value) > 1)
        throw GatewayError("imaq:gateway:arguments", std::string(what) + " must be a character vector.");
    char* chars = mxArrayToString(value);
    if (chars == nullptr) throw GatewayError("imaq:gateway:arguments", std::string(what) + " is no text.");
    std::string result(chars);
    mxFree(chars);
    return result;
}

double Arguments::number(int index, const char* what) const {
    const mxArray* value = index < count_ ? values_[index] : nullptr;
    if (value == nullptr || !mxIsNumeric(value) || mxIsComplex(value) || mxGetNumberOfElements(value) != 1)
        throw GatewayError("imaq:gateway:arguments", std::string(what) + " must be a real number.");
    return mxGetScalar(value);
}

std::vector<double> Arguments::numbers(int index, const char* what) const {
    const mxArray* value = index < count_ ? values_[index] : nullptr;
    if (value == nullptr || !mxIsDouble(value) || mxIsComplex(value))
        throw GatewayError("imaq:gateway:arguments", std::string(what) + " must be real doubles.");
    const double* data = mxGetPr(value);
    return std::vector<double>(data, data + mxGetNumberOfElements(value));
}

mxArray* makeText(const std::string& text) {
    // mxCreateString stops at the first zero byte; the texts here have none.
    return mxCreateString(text.c_str());
}

mxArray* makeNumber(double value) { return mxCreateDoubleScalar(value); }

mxArray* makeLogical(bool value) { return mxCreateLogicalScalar(value); }

mxArray* makeRow(const std::vector<double>& values) {
    mxArray* row = mxCreateDoubleMatrix(1, values.size(), mxREAL);
    double* data = mxGetPr(row);
    for (std::size_t i = 0; i < values.size(); ++i) data[i] = values[i];
    return row;
}

mxArray* makeTextCell(const std::vector<std::string>& texts) {
    mxArray* cell = mxCreateCellMatrix(1, texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) mxSetCell(cell, i, makeText(texts[i]));
    return cell;
}

StructBuilder::StructBuilder(const std::vector<const char*>& fields, std::size_t count)
    : array_(mxCreateStructMatrix(1, count, static_cast<int>(fields.size()),
                                  const_cast<const char**>(fields.data()))) {}

StructBuilder::~StructBuilder() {
    if (array_ != nullptr) mxDestroyArray(array_);
}

void StructBuilder::set(std::size_t index, const char* field, mxArray* value) {
    mxSetField(array_, index, field, value);
}

mxArray* StructBuilder::release() {
    mxArray* result = array_;
    array_ = nullptr;
    return result;
}

mxArray* makeValue(const qvxtb::PropertyValue& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value))
        return makeNumber(static_cast<double>(*integer));
    if (const auto* real = std::get_if<double>(&value)) return makeNumber(*real);
    return makeText(std::get<std::string>(value));
}

qvxtb::PropertyValue toValue(const mxArray* value, const std::string& property) {
    if (mxIsChar(value) && mxGetM(value) <= 1) {
        char* chars = mxArrayToString(value);
        std::string text = chars != nullptr ? chars : "";
        mxFree(chars);
        return text;
    }
    if ((mxIsNumeric(value) || mxIsLogical(value)) && !mxIsComplex(value) &&
        mxGetNumberOfElements(value) == 1)
        return mxGetScalar(value);
    throw GatewayError("imaq:set:invalidValue", "Invalid value for " + property +
                                                    ": a character vector or a real scalar is expected.");
}

} // namespace qvxgw
