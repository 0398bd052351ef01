// Mock host objects of a description, for calling the attributes export with objects of the test's own.
#pragma once

#include <gmock/gmock.h>

#include "host/prop_factory.h"
#include "host/source_info.h"
#include "sim/toolbox/placeholder.h"

namespace qvxtest {

class MockSourceInfo : public imaqkit::IVideoSourceInfo {
public:
    MOCK_METHOD(void, addAdaptorSource, (const char* name, int id), (override));
};

class MockPropFactory : public imaqkit::IPropFactory {
public:
    QVXTB_PROP_FACTORY_PLACEHOLDERS
    MOCK_METHOD(imaqkit::PropHandle, createDoubleProperty, (const char*, double, double, double), (override));
    MOCK_METHOD(imaqkit::PropHandle, createIntProperty, (const char*, int, int), (override));
    MOCK_METHOD(imaqkit::PropHandle, createIntRangeProperty, (const char*, int, int, int, int), (override));
    MOCK_METHOD(imaqkit::PropHandle, createEnumProperty, (const char*, const char*, int), (override));
    MOCK_METHOD(void, addEnumValue, (imaqkit::PropHandle, const char*, int), (override));
    MOCK_METHOD(void, addProperty, (imaqkit::PropHandle), (override));
    MOCK_METHOD(void, setPropReadOnly, (imaqkit::PropHandle, const char*), (override));
};

} // namespace qvxtest
