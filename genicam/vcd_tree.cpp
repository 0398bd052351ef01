// The VCD tree of a GenICam camera: one item per user feature, and the partial-scan offsets the library
// keeps.
#include <algorithm>
#include <memory>
#include <mutex>
#include <string>

#include "genicam/device.h"
#include "genicam/feature_values.h"
#include "genicam/genicam.h"
#include "grabber/vcd_ids.h"
#include "sim/cameras/sim_text.h"
#include "sim/cameras/vcd_com_object.h"

namespace qvxgenicam {
namespace {

using namespace KapriLib;
using qvxsim::MapStringsComObject;
using qvxsim::outBstr;
using qvxsim::TypedComObject;
using qvxsim::VcdComObject;
using Lock = std::lock_guard<std::mutex>;

enum class Role { Value, Auto, AutoCenter, OffsetX, OffsetY };

struct Context {
    std::shared_ptr<qvxsim::Session> session;
    std::shared_ptr<Device> device;
};

// Items are the device's features in order, then the partial-scan offset item on a region camera.
std::size_t itemCount(const Device& d) { return d.features().size() + (d.regionCapable() ? 1 : 0); }
bool isOffsetItem(const Device& d, std::size_t item) { return item == d.features().size(); }

GUID itemId(const Device& d, std::size_t item) {
    if (isOffsetItem(d, item)) return kVcdItemPartialScanOffset;
    GUID id = {0xC9A1E5B0, 0x5A3E, 0x4B7E, {0x9F, 0x01, 0, 0, 0, 0, 0, 0}};
    id.Data4[6] = static_cast<unsigned char>(item >> 8);
    id.Data4[7] = static_cast<unsigned char>(item);
    return id;
}

std::vector<Role> rolesOf(const Device& d, std::size_t item) {
    if (isOffsetItem(d, item)) return {Role::AutoCenter, Role::OffsetX, Role::OffsetY};
    if (d.features()[item].autoName.empty()) return {Role::Value};
    return {Role::Value, Role::Auto};
}

struct ElementRef {
    Context ctx;
    std::size_t item;
    Role role;

    const Feature* feature() const {
        return isOffsetItem(*ctx.device, item) ? nullptr : &ctx.device->features()[item];
    }
    const std::string& featureName() const {
        return role == Role::Auto ? feature()->autoName : feature()->name;
    }
    FeatureKind kind() const {
        if (role == Role::AutoCenter) return FeatureKind::Boolean;
        if (role == Role::OffsetX || role == Role::OffsetY) return FeatureKind::Integer;
        return role == Role::Auto ? feature()->autoKind : feature()->kind;
    }
    bool isOffset() const { return role == Role::OffsetX || role == Role::OffsetY; }
};

const char* elementName(Role role) {
    switch (role) {
    case Role::Value:
        return "Value";
    case Role::Auto:
        return "Auto";
    case Role::AutoCenter:
        return "Auto-center";
    case Role::OffsetX:
        return "X Offset";
    default:
        return "Y Offset";
    }
}

GUID elementId(Role role) {
    switch (role) {
    case Role::Value:
        return kVcdElementValue;
    case Role::Auto:
        return kVcdElementAuto;
    case Role::AutoCenter:
        return kVcdElementAutoCenter;
    case Role::OffsetX:
        return kVcdElementOffsetX;
    default:
        return kVcdElementOffsetY;
    }
}

// Hands `value` out through `out`: E_POINTER where the caller gave none.
template <class T> HRESULT outValue(T value, T* out) {
    if (out == nullptr) return E_POINTER;
    *out = value;
    return S_OK;
}

// Offsets run from 0 to the sensor less the session's format: what the camera can take with that size.
LONG offsetMax(const ElementRef& ref) {
    const qvxsim::Camera& model = *ref.ctx.device->model();
    const SIZE sensor = model.sensor ? *model.sensor : SIZE{0, 0};
    const bool x = ref.role == Role::OffsetX;
    LONG size = x ? sensor.cx : sensor.cy;
    {
        Lock lock(qvxsim::System::instance().mutex);
        const qvxsim::Session& s = *ref.ctx.session;
        if (s.hasFormat) size = x ? s.format.width : s.format.height;
    }
    return std::max<LONG>(0, (x ? sensor.cx : sensor.cy) - size);
}

HRESULT readOffset(const ElementRef& ref, IntegerFacts& facts) {
    facts.min = 0;
    facts.max = offsetMax(ref);
    Device& d = *ref.ctx.device;
    Lock lock(d.control);
    const int kept = ref.role == Role::OffsetX ? d.offsetX : d.offsetY;
    facts.value = d.autoCenter ? facts.max / 2 : std::clamp<LONG>(kept, 0, facts.max);
    return S_OK;
}

HRESULT writeOffset(const ElementRef& ref, LONG value) {
    const LONG max = offsetMax(ref);
    if (value < 0 || value > max) return E_INVALIDARG;
    Device& d = *ref.ctx.device;
    Lock lock(d.control);
    (ref.role == Role::OffsetX ? d.offsetX : d.offsetY) = value;
    return S_OK;
}

class Range final : public TypedComObject<IVCDRangeProperty, ElementRef> {
public:
    explicit Range(ElementRef ref) : TypedComObject(std::move(ref), kVcdRangeInterface) {}
    HRESULT STDMETHODCALLTYPE get_Value(LONG* v) override { return pick(v, &IntegerFacts::value); }
    HRESULT STDMETHODCALLTYPE put_Value(LONG v) override {
        return ref_.isOffset() ? writeOffset(ref_, v) : writeInteger(*ref_.ctx.device, ref_.featureName(), v);
    }
    HRESULT STDMETHODCALLTYPE get_RangeMin(LONG* v) override { return pick(v, &IntegerFacts::min); }
    HRESULT STDMETHODCALLTYPE get_RangeMax(LONG* v) override { return pick(v, &IntegerFacts::max); }
    // A camera keeps no defaults: the value it holds stands for one.
    HRESULT STDMETHODCALLTYPE get_Default(LONG* v) override {
        if (ref_.isOffset() && v != nullptr) return *v = 0, S_OK;
        return pick(v, &IntegerFacts::value);
    }

private:
    HRESULT pick(LONG* out, LONG IntegerFacts::*field) {
        if (out == nullptr) return E_POINTER;
        IntegerFacts facts;
        const HRESULT hr = ref_.isOffset() ? readOffset(ref_, facts)
                                           : readInteger(*ref_.ctx.device, ref_.featureName(), facts);
        if (hr == S_OK) *out = facts.*field;
        return hr;
    }
};

class Absolute final : public TypedComObject<IVCDAbsoluteValueProperty, ElementRef> {
public:
    explicit Absolute(ElementRef ref) : TypedComObject(std::move(ref), kVcdAbsoluteValueInterface) {}
    HRESULT STDMETHODCALLTYPE get_Value(double* v) override { return pick(v, &FloatFacts::value); }
    HRESULT STDMETHODCALLTYPE put_Value(double v) override {
        const HRESULT hr = writeFloat(*ref_.ctx.device, ref_.featureName(), v);
        if (hr == S_OK && ref_.featureName() == "AcquisitionFrameRate") keepRate(v);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE get_RangeMin(double* v) override { return pick(v, &FloatFacts::min); }
    HRESULT STDMETHODCALLTYPE get_RangeMax(double* v) override { return pick(v, &FloatFacts::max); }
    HRESULT STDMETHODCALLTYPE get_Default(double* v) override { return pick(v, &FloatFacts::value); }

private:
    // The rate a user wrote is the session's rate too: live mode, when it starts, writes the session's
    // rate wherever it differs from the one last written, and would otherwise undo the user's.
    void keepRate(double fps) {
        Device& d = *ref_.ctx.device;
        {
            Lock lock(d.control);
            d.writtenFps = fps;
        }
        Lock lock(qvxsim::System::instance().mutex);
        ref_.ctx.session->fps = fps;
        ref_.ctx.session->rate = qvxsim::rateOfFps(fps);
    }
    HRESULT pick(double* out, double FloatFacts::*field) {
        if (out == nullptr) return E_POINTER;
        FloatFacts facts;
        const HRESULT hr = readFloat(*ref_.ctx.device, ref_.featureName(), facts);
        if (hr == S_OK) *out = facts.*field;
        return hr;
    }
};

class Switch final : public TypedComObject<IVCDSwitchProperty, ElementRef> {
public:
    explicit Switch(ElementRef ref) : TypedComObject(std::move(ref), kVcdSwitchInterface) {}
    HRESULT STDMETHODCALLTYPE get_Switch(VARIANT_BOOL* v) override {
        if (v == nullptr) return E_POINTER;
        bool on = false;
        if (ref_.role == Role::AutoCenter) {
            Lock lock(ref_.ctx.device->control);
            on = ref_.ctx.device->autoCenter;
        } else if (const HRESULT hr = readBoolean(*ref_.ctx.device, ref_.featureName(), on); hr != S_OK) {
            return hr;
        }
        *v = static_cast<VARIANT_BOOL>(on ? -1 : 0);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Switch(VARIANT_BOOL v) override {
        if (ref_.role != Role::AutoCenter) return writeBoolean(*ref_.ctx.device, ref_.featureName(), v != 0);
        Lock lock(ref_.ctx.device->control);
        ref_.ctx.device->autoCenter = v != 0;
        return S_OK;
    }
};

class Button final : public TypedComObject<IVCDButtonProperty, ElementRef> {
public:
    explicit Button(ElementRef ref) : TypedComObject(std::move(ref), kVcdButtonInterface) {}
    HRESULT STDMETHODCALLTYPE Push() override { return executeCommand(*ref_.ctx.device, ref_.featureName()); }
};

class Strings final : public VcdComObject<IVCDPropertyStrings> {
public:
    explicit Strings(std::vector<std::string> entries) : entries_(std::move(entries)) {}
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, BSTR* text) override {
        if (text == nullptr) return E_POINTER;
        *text = nullptr;
        if (index < 1 || static_cast<std::size_t>(index) > entries_.size()) return E_INVALIDARG;
        return outBstr(entries_[static_cast<std::size_t>(index) - 1], text);
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
        return outValue(static_cast<LONG>(entries_.size()), count);
    }

private:
    std::vector<std::string> entries_; // the entries when the list was asked for, so count and texts agree
};

// Values are positions in the list of entries available now, counted from 0.
class MapStrings final : public MapStringsComObject<ElementRef> {
public:
    explicit MapStrings(ElementRef ref) : MapStringsComObject(std::move(ref)) {}
    HRESULT STDMETHODCALLTYPE get_Value(LONG* v) override { return position(v); }
    HRESULT STDMETHODCALLTYPE put_Value(LONG v) override {
        return writeEnumeration(*ref_.ctx.device, ref_.featureName(), v);
    }
    HRESULT STDMETHODCALLTYPE get_RangeMin(LONG* v) override { return outValue(LONG{0}, v); }
    HRESULT STDMETHODCALLTYPE get_Default(LONG* v) override { return position(v); }
    HRESULT STDMETHODCALLTYPE get_Strings(IVCDPropertyStrings** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        std::vector<std::string> entries;
        LONG current = 0;
        if (const HRESULT hr = readEnumeration(*ref_.ctx.device, ref_.featureName(), entries, current);
            hr != S_OK)
            return hr;
        *out = new Strings(std::move(entries));
        return S_OK;
    }

private:
    HRESULT position(LONG* out) {
        if (out == nullptr) return E_POINTER;
        std::vector<std::string> entries;
        LONG current = 0;
        const HRESULT hr = readEnumeration(*ref_.ctx.device, ref_.featureName(), entries, current);
        if (hr != S_OK) return hr;
        if (current < 0) return E_FAIL; // the camera holds an entry it does not list as available
        *out = current;
        return S_OK;
    }
};

IUnknown* makeTyped(const ElementRef& ref, const GUID& iid) {
    switch (ref.kind()) {
    case FeatureKind::Integer:
        return iid == kVcdRangeInterface ? static_cast<IVCDRangeProperty*>(new Range(ref)) : nullptr;
    case FeatureKind::Float:
        return iid == kVcdAbsoluteValueInterface ? static_cast<IVCDAbsoluteValueProperty*>(new Absolute(ref))
                                                 : nullptr;
    case FeatureKind::Boolean:
        return iid == kVcdSwitchInterface ? static_cast<IVCDSwitchProperty*>(new Switch(ref)) : nullptr;
    case FeatureKind::Command:
        return iid == kVcdButtonInterface ? static_cast<IVCDButtonProperty*>(new Button(ref)) : nullptr;
    case FeatureKind::Enumeration:
        return iid == kVcdMapStringsInterface ? static_cast<IVCDMapStringsProperty*>(new MapStrings(ref))
                                              : nullptr;
    }
    return nullptr;
}

class Element final : public VcdComObject<IVCDPropertyElement> {
public:
    explicit Element(ElementRef ref) : ref_(std::move(ref)) {}
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override { return outBstr(elementName(ref_.role), name); }
    HRESULT STDMETHODCALLTYPE get_ElementID(GUID* id) override { return outValue(elementId(ref_.role), id); }
    HRESULT STDMETHODCALLTYPE findInterface(BSTR interfaceId, IUnknown** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        const auto iid = qvxsim::parseGuid(
            interfaceId, interfaceId == nullptr ? 0 : std::char_traits<OLECHAR>::length(interfaceId));
        if (!iid) return E_INVALIDARG;
        *object = makeTyped(ref_, *iid);
        return *object == nullptr ? E_NOINTERFACE : S_OK;
    }

private:
    ElementRef ref_;
};

class Elements final : public VcdComObject<IVCDPropertyElements> {
public:
    Elements(Context ctx, std::size_t item)
        : ctx_(std::move(ctx)), item_(item), roles_(rolesOf(*ctx_.device, item)) {}
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IVCDPropertyElement** element) override {
        if (element == nullptr) return E_POINTER;
        *element = nullptr;
        if (index < 1 || static_cast<std::size_t>(index) > roles_.size()) return E_INVALIDARG;
        *element = new Element(ElementRef{ctx_, item_, roles_[static_cast<std::size_t>(index) - 1]});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
        return outValue(static_cast<LONG>(roles_.size()), count);
    }

private:
    Context ctx_;
    std::size_t item_;
    std::vector<Role> roles_;
};

class Item final : public VcdComObject<IVCDPropertyItem> {
public:
    Item(Context ctx, std::size_t item) : ctx_(std::move(ctx)), item_(item) {}
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
        const Device& d = *ctx_.device;
        return outBstr(isOffsetItem(d, item_) ? "Partial scan offset" : d.features()[item_].name, name);
    }
    HRESULT STDMETHODCALLTYPE get_Elements(IVCDPropertyElements** elements) override {
        if (elements == nullptr) return E_POINTER;
        *elements = new Elements(ctx_, item_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_ItemID(GUID* id) override {
        return outValue(itemId(*ctx_.device, item_), id);
    }

private:
    Context ctx_;
    std::size_t item_;
};

class Items final : public VcdComObject<IVCDPropertyItems> {
public:
    explicit Items(Context ctx) : ctx_(std::move(ctx)) {}
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IVCDPropertyItem** item) override {
        if (item == nullptr) return E_POINTER;
        *item = nullptr;
        if (index < 1 || static_cast<std::size_t>(index) > itemCount(*ctx_.device)) return E_INVALIDARG;
        *item = new Item(ctx_, static_cast<std::size_t>(index) - 1);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
        return outValue(static_cast<LONG>(itemCount(*ctx_.device)), count);
    }
    // "{item}:{element}" is the element itself; "{item}:{element}:{interface}" one of its interfaces.
    HRESULT STDMETHODCALLTYPE findInterface(BSTR path, IUnknown** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        GUID parts[3];
        const std::size_t count = qvxsim::parseVcdPath(path, parts);
        if (count < 2) return E_INVALIDARG;
        const Device& d = *ctx_.device;
        for (std::size_t i = 0; i < itemCount(d); ++i) {
            if (itemId(d, i) != parts[0]) continue;
            for (Role role : rolesOf(d, i)) {
                if (elementId(role) != parts[1]) continue;
                const ElementRef ref{ctx_, i, role};
                if (count == 2)
                    *object = static_cast<IVCDPropertyElement*>(new Element(ref));
                else
                    *object = makeTyped(ref, parts[2]);
                return *object == nullptr ? E_NOINTERFACE : S_OK;
            }
        }
        return E_NOINTERFACE;
    }

private:
    Context ctx_;
};

} // namespace

IVCDPropertyItems* makeVcdItems(std::shared_ptr<qvxsim::Session> session, std::shared_ptr<Device> device) {
    return new Items(Context{std::move(session), std::move(device)});
}

} // namespace qvxgenicam
