// VCD property objects: collections, items, elements, the typed interfaces and their live values.
#include "sim/cameras/vcd_objects.h"

#include <cmath>
#include <cstdio>
#include <mutex>
#include <string>

#include "grabber/vcd_ids.h"
#include "sim/cameras/sim_text.h"
#include "sim/cameras/vcd_com_object.h"

namespace qvxsim {
namespace {

using namespace KapriLib;
using Lock = std::lock_guard<std::mutex>;

struct Context {
    std::shared_ptr<Session> session;
    std::shared_ptr<Camera> camera;
};

std::string numberText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Addresses one element of a camera; its live values are read under the system mutex.
struct ElementRef {
    Context ctx;
    std::size_t item;
    std::size_t element;

    VcdItem& itemSpec() const { return ctx.camera->vcd.values[item]; }
    VcdElement& described() const { return itemSpec().elements[element]; }
    std::string logName() const { return stripBlanks(itemSpec().name) + "/" + stripBlanks(described().name); }
};

class RangeObject final : public TypedComObject<IVCDRangeProperty, ElementRef> {
public:
    explicit RangeObject(ElementRef ref) : TypedComObject(std::move(ref), kVcdRangeInterface) {}

    HRESULT STDMETHODCALLTYPE get_Value(LONG* value) override {
        return read(value, "get_Value", [](const RangeValue& r, LONG, LONG) { return r.value; });
    }
    HRESULT STDMETHODCALLTYPE put_Value(LONG value) override {
        System& sys = System::instance();
        Lock lock(sys.mutex);
        RangeValue& r = *ref_.described().range;
        sys.log("put_Value(" + ref_.logName() + "," + std::to_string(value) + ")");
        if (const HRESULT hr = r.faults.check("put_Value"); hr != S_OK) return hr;
        LONG min = 0, max = 0;
        limits(min, max);
        if (value < min || value > max) return E_INVALIDARG;
        r.value = value;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_RangeMin(LONG* value) override {
        return read(value, "get_RangeMin", [](const RangeValue&, LONG min, LONG) { return min; });
    }
    HRESULT STDMETHODCALLTYPE get_RangeMax(LONG* value) override {
        return read(value, "get_RangeMax", [](const RangeValue&, LONG, LONG max) { return max; });
    }
    HRESULT STDMETHODCALLTYPE get_Default(LONG* value) override {
        return read(value, "get_Default", [](const RangeValue& r, LONG, LONG) { return r.def; });
    }

private:
    void limits(LONG& min, LONG& max) const {
        rangeLimits(ref_.ctx.session.get(), *ref_.ctx.camera, ref_.itemSpec(), ref_.described(), min, max);
    }
    template <class Pick> HRESULT read(LONG* out, const char* call, Pick pick) {
        if (out == nullptr) return E_POINTER;
        Lock lock(System::instance().mutex);
        RangeValue& r = *ref_.described().range;
        if (const HRESULT hr = r.faults.check(call); hr != S_OK) return hr;
        LONG min = 0, max = 0;
        limits(min, max);
        *out = pick(r, min, max);
        return S_OK;
    }
};

class AbsoluteObject final : public TypedComObject<IVCDAbsoluteValueProperty, ElementRef> {
public:
    explicit AbsoluteObject(ElementRef ref) : TypedComObject(std::move(ref), kVcdAbsoluteValueInterface) {}

    HRESULT STDMETHODCALLTYPE get_Value(double* value) override {
        return read(value, "get_Value", [](const AbsoluteValue& a) { return a.value; });
    }
    HRESULT STDMETHODCALLTYPE put_Value(double value) override {
        System& sys = System::instance();
        Lock lock(sys.mutex);
        AbsoluteValue& a = *ref_.described().absolute;
        sys.log("put_Value(" + ref_.logName() + "," + numberText(value) + ")");
        if (const HRESULT hr = a.faults.check("put_Value"); hr != S_OK) return hr;
        if (!(value >= a.min && value <= a.max)) return E_INVALIDARG;
        a.value = value;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_RangeMin(double* value) override {
        return read(value, "get_RangeMin", [](const AbsoluteValue& a) { return a.min; });
    }
    HRESULT STDMETHODCALLTYPE get_RangeMax(double* value) override {
        return read(value, "get_RangeMax", [](const AbsoluteValue& a) { return a.max; });
    }
    HRESULT STDMETHODCALLTYPE get_Default(double* value) override {
        return read(value, "get_Default", [](const AbsoluteValue& a) { return a.def; });
    }

private:
    template <class Pick> HRESULT read(double* out, const char* call, Pick pick) {
        if (out == nullptr) return E_POINTER;
        Lock lock(System::instance().mutex);
        AbsoluteValue& a = *ref_.described().absolute;
        if (const HRESULT hr = a.faults.check(call); hr != S_OK) return hr;
        *out = pick(a);
        return S_OK;
    }
};

class SwitchObject final : public TypedComObject<IVCDSwitchProperty, ElementRef> {
public:
    explicit SwitchObject(ElementRef ref) : TypedComObject(std::move(ref), kVcdSwitchInterface) {}

    HRESULT STDMETHODCALLTYPE get_Switch(VARIANT_BOOL* value) override {
        if (value == nullptr) return E_POINTER;
        Lock lock(System::instance().mutex);
        SwitchValue& s = *ref_.described().switchValue;
        if (const HRESULT hr = s.faults.check("get_Switch"); hr != S_OK) return hr;
        *value = s.raw ? *s.raw : static_cast<VARIANT_BOOL>(s.on ? -1 : 0);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Switch(VARIANT_BOOL value) override {
        System& sys = System::instance();
        Lock lock(sys.mutex);
        SwitchValue& s = *ref_.described().switchValue;
        sys.log("put_Switch(" + ref_.logName() + "," + std::to_string(value) + ")");
        if (const HRESULT hr = s.faults.check("put_Switch"); hr != S_OK) return hr;
        s.on = value != 0;
        return S_OK;
    }
};

class ButtonObject final : public TypedComObject<IVCDButtonProperty, ElementRef> {
public:
    explicit ButtonObject(ElementRef ref) : TypedComObject(std::move(ref), kVcdButtonInterface) {}

    HRESULT STDMETHODCALLTYPE Push() override {
        System& sys = System::instance();
        Lock lock(sys.mutex);
        ButtonValue& b = *ref_.described().button;
        sys.log("Push(" + ref_.logName() + ")");
        if (const HRESULT hr = b.faults.check("Push"); hr != S_OK) return hr;
        ++b.pushes;
        return S_OK;
    }
};

class StringsObject final : public VcdComObject<IVCDPropertyStrings> {
public:
    explicit StringsObject(ElementRef ref) : ref_(std::move(ref)) {}

    HRESULT STDMETHODCALLTYPE get_Item(LONG index, BSTR* text) override {
        if (text == nullptr) return E_POINTER;
        *text = nullptr;
        std::string value;
        {
            Lock lock(System::instance().mutex);
            MapStringsValue& m = *ref_.described().mapStrings;
            if (const HRESULT hr = m.faults.check("strings.get_Item"); hr != S_OK) return hr;
            if (index < 1 || static_cast<std::size_t>(index) > m.strings.size()) return E_INVALIDARG;
            value = m.strings[static_cast<std::size_t>(index) - 1];
        }
        return outBstr(value, text);
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
        if (count == nullptr) return E_POINTER;
        Lock lock(System::instance().mutex);
        MapStringsValue& m = *ref_.described().mapStrings;
        if (const HRESULT hr = m.faults.check("strings.get_Count"); hr != S_OK) return hr;
        *count = static_cast<LONG>(m.strings.size());
        return S_OK;
    }

private:
    ElementRef ref_;
};

class MapStringsObject final : public MapStringsComObject<ElementRef> {
public:
    explicit MapStringsObject(ElementRef ref) : MapStringsComObject(std::move(ref)) {}

    HRESULT STDMETHODCALLTYPE get_Value(LONG* value) override {
        return read(value, "get_Value", [](const MapStringsValue& m) { return m.value; });
    }
    HRESULT STDMETHODCALLTYPE put_Value(LONG value) override {
        System& sys = System::instance();
        Lock lock(sys.mutex);
        MapStringsValue& m = *ref_.described().mapStrings;
        sys.log("put_Value(" + ref_.logName() + "," + std::to_string(value) + ")");
        if (const HRESULT hr = m.faults.check("put_Value"); hr != S_OK) return hr;
        if (value < m.min || value > m.max) return E_INVALIDARG;
        m.value = value;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_RangeMin(LONG* value) override {
        return read(value, "get_RangeMin", [](const MapStringsValue& m) { return m.min; });
    }
    HRESULT STDMETHODCALLTYPE get_Default(LONG* value) override {
        return read(value, "get_Default", [](const MapStringsValue& m) { return m.def; });
    }
    HRESULT STDMETHODCALLTYPE get_Strings(IVCDPropertyStrings** strings) override {
        if (strings == nullptr) return E_POINTER;
        *strings = nullptr;
        {
            Lock lock(System::instance().mutex);
            if (const HRESULT hr = ref_.described().mapStrings->faults.check("get_Strings"); hr != S_OK)
                return hr;
        }
        *strings = new StringsObject(ref_);
        return S_OK;
    }

private:
    template <class Pick> HRESULT read(LONG* out, const char* call, Pick pick) {
        if (out == nullptr) return E_POINTER;
        Lock lock(System::instance().mutex);
        MapStringsValue& m = *ref_.described().mapStrings;
        if (const HRESULT hr = m.faults.check(call); hr != S_OK) return hr;
        *out = pick(m);
        return S_OK;
    }
};

// The typed interface of an element by identifier, or null. Mutex held.
IUnknown* makeTypedInterface(const ElementRef& ref, const GUID& iid) {
    const VcdElement& e = ref.described();
    if (iid == kVcdRangeInterface && e.range) return static_cast<IVCDRangeProperty*>(new RangeObject(ref));
    if (iid == kVcdSwitchInterface && e.switchValue)
        return static_cast<IVCDSwitchProperty*>(new SwitchObject(ref));
    if (iid == kVcdButtonInterface && e.button)
        return static_cast<IVCDButtonProperty*>(new ButtonObject(ref));
    if (iid == kVcdMapStringsInterface && e.mapStrings)
        return static_cast<IVCDMapStringsProperty*>(new MapStringsObject(ref));
    if (iid == kVcdAbsoluteValueInterface && e.absolute)
        return static_cast<IVCDAbsoluteValueProperty*>(new AbsoluteObject(ref));
    return nullptr;
}

class ElementObject final : public VcdComObject<IVCDPropertyElement> {
public:
    explicit ElementObject(ElementRef ref) : ref_(std::move(ref)) {}

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
        if (name == nullptr) return E_POINTER;
        *name = nullptr;
        std::string text;
        {
            Lock lock(System::instance().mutex);
            if (const HRESULT hr = ref_.described().faults.check("get_Name"); hr != S_OK) return hr;
            text = ref_.described().name;
        }
        return outBstr(text, name);
    }
    HRESULT STDMETHODCALLTYPE get_ElementID(GUID* id) override {
        if (id == nullptr) return E_POINTER;
        Lock lock(System::instance().mutex);
        if (const HRESULT hr = ref_.described().faults.check("get_ElementID"); hr != S_OK) return hr;
        *id = ref_.described().id;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE findInterface(BSTR interfaceId, IUnknown** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        Lock lock(System::instance().mutex);
        if (const HRESULT hr = ref_.described().faults.check("findInterface"); hr != S_OK) return hr;
        const auto iid = parseGuid(
            interfaceId, interfaceId == nullptr ? 0 : std::char_traits<OLECHAR>::length(interfaceId));
        if (!iid) return E_INVALIDARG;
        *object = makeTypedInterface(ref_, *iid);
        return *object == nullptr ? E_NOINTERFACE : S_OK;
    }

private:
    ElementRef ref_;
};

class ElementsObject final : public VcdComObject<IVCDPropertyElements> {
public:
    ElementsObject(Context ctx, std::size_t item) : ctx_(std::move(ctx)), item_(item) {}

    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IVCDPropertyElement** element) override {
        if (element == nullptr) return E_POINTER;
        *element = nullptr;
        Lock lock(System::instance().mutex);
        VcdItem& item = ctx_.camera->vcd.values[item_];
        if (const HRESULT hr = item.faults.check("get_Item"); hr != S_OK) return hr;
        if (index < 1 || static_cast<std::size_t>(index) > item.elements.size()) return E_INVALIDARG;
        *element = new ElementObject(ElementRef{ctx_, item_, static_cast<std::size_t>(index) - 1});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
        if (count == nullptr) return E_POINTER;
        Lock lock(System::instance().mutex);
        VcdItem& item = ctx_.camera->vcd.values[item_];
        if (const HRESULT hr = item.faults.check("get_Count"); hr != S_OK) return hr;
        *count = static_cast<LONG>(item.elements.size());
        return S_OK;
    }

private:
    Context ctx_;
    std::size_t item_;
};

class ItemObject final : public VcdComObject<IVCDPropertyItem> {
public:
    ItemObject(Context ctx, std::size_t item) : ctx_(std::move(ctx)), item_(item) {}

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
        if (name == nullptr) return E_POINTER;
        *name = nullptr;
        std::string text;
        {
            Lock lock(System::instance().mutex);
            VcdItem& item = ctx_.camera->vcd.values[item_];
            if (const HRESULT hr = item.faults.check("get_Name"); hr != S_OK) return hr;
            text = item.name;
        }
        return outBstr(text, name);
    }
    HRESULT STDMETHODCALLTYPE get_Elements(IVCDPropertyElements** elements) override {
        if (elements == nullptr) return E_POINTER;
        *elements = nullptr;
        Lock lock(System::instance().mutex);
        if (const HRESULT hr = ctx_.camera->vcd.values[item_].faults.check("get_Elements"); hr != S_OK)
            return hr;
        *elements = new ElementsObject(ctx_, item_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_ItemID(GUID* id) override {
        if (id == nullptr) return E_POINTER;
        Lock lock(System::instance().mutex);
        VcdItem& item = ctx_.camera->vcd.values[item_];
        if (const HRESULT hr = item.faults.check("get_ItemID"); hr != S_OK) return hr;
        *id = item.id;
        return S_OK;
    }

private:
    Context ctx_;
    std::size_t item_;
};

class ItemsObject final : public VcdComObject<IVCDPropertyItems> {
public:
    explicit ItemsObject(Context ctx) : ctx_(std::move(ctx)) {}

    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IVCDPropertyItem** item) override {
        if (item == nullptr) return E_POINTER;
        *item = nullptr;
        Lock lock(System::instance().mutex);
        if (const HRESULT hr = ctx_.camera->vcdFaults.check("get_Item"); hr != S_OK) return hr;
        if (index < 1 || static_cast<std::size_t>(index) > ctx_.camera->vcd.values.size())
            return E_INVALIDARG;
        *item = new ItemObject(ctx_, static_cast<std::size_t>(index) - 1);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
        if (count == nullptr) return E_POINTER;
        Lock lock(System::instance().mutex);
        if (const HRESULT hr = ctx_.camera->vcdFaults.check("get_Count"); hr != S_OK) return hr;
        *count = static_cast<LONG>(ctx_.camera->vcd.values.size());
        return S_OK;
    }
    // "{item}:{element}" is the element itself; "{item}:{element}:{interface}" one of its interfaces.
    HRESULT STDMETHODCALLTYPE findInterface(BSTR path, IUnknown** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        Lock lock(System::instance().mutex);
        if (const HRESULT hr = ctx_.camera->vcdFaults.check("findInterface"); hr != S_OK) return hr;
        GUID parts[3]; // read in place: this runs twice a frame on a region-of-interest camera
        const std::size_t count = parseVcdPath(path, parts);
        if (count < 2) return E_INVALIDARG;
        const auto& items = ctx_.camera->vcd.values;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].id != parts[0]) continue;
            for (std::size_t e = 0; e < items[i].elements.size(); ++e) {
                if (items[i].elements[e].id != parts[1]) continue;
                const ElementRef ref{ctx_, i, e};
                if (count == 2)
                    *object = static_cast<IVCDPropertyElement*>(new ElementObject(ref));
                else
                    *object = makeTypedInterface(ref, parts[2]);
                return *object == nullptr ? E_NOINTERFACE : S_OK;
            }
        }
        return E_NOINTERFACE;
    }

private:
    Context ctx_;
};

} // namespace

IVCDPropertyItems* makeVcdItems(std::shared_ptr<Session> session, std::shared_ptr<Camera> camera) {
    return new ItemsObject(Context{std::move(session), std::move(camera)});
}

void rangeLimits(const Session* session, const Camera& camera, const VcdItem& item, const VcdElement& element,
                 LONG& min, LONG& max) {
    min = element.range->min;
    max = element.range->max;
    if (item.id != kVcdItemPartialScanOffset) return;
    const bool x = element.id == kVcdElementOffsetX;
    if (!x && element.id != kVcdElementOffsetY) return;
    const SIZE sensor = sensorOf(camera);
    int size = x ? sensor.cx : sensor.cy;
    if (session != nullptr && session->camera.get() == &camera && session->hasFormat)
        size = x ? session->format.width : session->format.height;
    min = 0;
    max = std::max<LONG>(0, (x ? sensor.cx : sensor.cy) - size);
}

} // namespace qvxsim
