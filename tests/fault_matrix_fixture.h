// Shared set-up of the fault matrix: one camera with every VCD kind, faults placed by location.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "tests/support/instance_fixture.h"

namespace qvxtest {

// The result code every injected VCD fault returns, and how the toolbox shows it.
constexpr long kFaultCode = -5;
constexpr const char* kFaultCodeText = "(-5)";

constexpr const char* kMatrixDevice = "Matrix Cam";
constexpr const char* kMatrixFormat = "Y800 (640x480)";

// A region-of-interest camera with the partial-scan item and one element of every interface kind.
inline nlohmann::json matrixCamera() {
    return nlohmann::json::parse(R"({
      "name": "Matrix Cam", "serial": "0x26610123", "inputChannels": ["A", "B"],
      "descriptors": [{"colorformat": "Y800", "min": [16, 4], "max": [640, 480], "step": [4, 2], "roi": true}],
      "vcd": [
        {"name": "Partial Scan Offset", "id": "partialScanOffset", "elements": [
          {"name": "Auto-center", "id": "autoCenter", "switch": {"value": true}},
          {"name": "X Offset", "id": "offsetX", "range": {"min": -4096, "max": 4096, "default": 0, "value": 0}},
          {"name": "Y Offset", "id": "offsetY", "range": {"min": -4096, "max": 4096, "default": 0, "value": 0}}]},
        {"name": "Gain", "elements": [
          {"name": "Value", "id": "value", "range": {"min": 0, "max": 63, "default": 16, "value": 16}}]},
        {"name": "Exposure", "elements": [
          {"name": "Value", "id": "value", "absolute": {"min": 0.001, "max": 2.0, "default": 0.01, "value": 0.01}}]},
        {"name": "Strobe", "elements": [
          {"name": "Mode", "mapStrings": {"min": 1, "max": 3, "default": 3, "value": 3, "strings": ["a", "b", "c"]}}]},
        {"name": "Trigger", "elements": [
          {"name": "Polarity", "switch": {"value": false}},
          {"name": "Software", "button": {}}]}]})");
}

// Where a fault goes: "collection", "item:Gain", "element:Gain/Value", "range:Gain/Value" (also
// "absolute", "switch", "button", "mapStrings").
inline nlohmann::json& faultsAt(nlohmann::json& camera, const std::string& where) {
    if (where == "collection") return camera["vcdFaults"];
    const auto colon = where.find(':');
    const std::string kind = where.substr(0, colon);
    const std::string path = where.substr(colon + 1);
    const auto slash = path.find('/');
    const std::string itemName = path.substr(0, slash);
    for (auto& item : camera["vcd"]) {
        if (item["name"] != itemName) continue;
        if (kind == "item") return item["faults"];
        for (auto& element : item["elements"]) {
            if (element["name"] != path.substr(slash + 1)) continue;
            if (kind == "element") return element["faults"];
            return element[kind]["faults"];
        }
    }
    throw std::invalid_argument("no fault location " + where);
}

class FaultMatrixFixture : public InstanceFixture {
protected:
    // The matrix camera with `call` failing at `where` (every call, or only the nth when nth > 0).
    void loadWithFault(const std::string& where, const std::string& call, int nth = 0) {
        nlohmann::json camera = matrixCamera();
        if (nth > 0)
            faultsAt(camera, where)[call] = {{"result", kFaultCode}, {"nth", nth}};
        else
            faultsAt(camera, where)[call] = kFaultCode;
        loadCameras(camera.dump());
    }

    // Calls a host listener the way the host does and gives back the code it raised (0 when none).
    template <class Call> static long raisedCode(Call&& call) {
        try {
            call();
        } catch (long code) {
            return code;
        }
        return 0;
    }

    long directGet(const std::string& name, void* value) {
        FakePropContainer& props = engine().deviceProps;
        return raisedCode(
            [&] { props.getters_.at(name)->getValue(props.getIPropInfo(name.c_str()), value); });
    }
    long directSet(const std::string& name, void* value) {
        FakePropContainer& props = engine().deviceProps;
        for (auto& [listenerName, listener] : props.setters_)
            if (listenerName == name)
                return raisedCode([&] { listener->notify(props.getIPropInfo(name.c_str()), value); });
        throw std::invalid_argument("no set listener for " + name);
    }
};

} // namespace qvxtest
