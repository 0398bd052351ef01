// Grabber: one handle on one virtual camera: discovery, norms, formats, rates, channels and live mode.
#include "grabber/grabber.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "genicam/genicam.h"
#include "sim/cameras/delivery.h"
#include "sim/cameras/item_data.h"
#include "sim/cameras/list_holder.h"
#include "sim/cameras/sim_sink.h"
#include "sim/cameras/vcd_objects.h"

namespace KapriLib {

struct Grabber::Impl {
    std::shared_ptr<qvxsim::Session> session = std::make_shared<qvxsim::Session>();
    std::mutex control; // serialises starting and stopping the delivery thread
    std::unique_ptr<qvxsim::Delivery> delivery;
    std::unique_ptr<qvxgenicam::Live> genicamLive; // the delivery of a live GenICam camera
};

namespace {

using qvxsim::Camera;
using qvxsim::FormatInfo;
using qvxsim::Session;
using qvxsim::System;
using Lock = std::lock_guard<std::mutex>;

std::string fpsText(double fps) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", fps);
    return text;
}

const qvxsim::NormSpec* findNorm(const Camera& camera, const std::string& name) {
    for (const auto& norm : camera.norms.values)
        if (norm.name == name) return &norm;
    return nullptr;
}

// Makes `format` current with its first listed rate.
void selectFormat(Session& s, const FormatInfo& format) {
    s.hasFormat = true;
    s.format = format;
    const auto& listed = format.fps.values;
    // A GenICam camera keeps the rate it runs at, where the new format lists it.
    if (s.genicam && std::find(listed.begin(), listed.end(), s.fps) != listed.end()) return;
    s.fps = format.fps.values.empty() ? 0.0 : format.fps.values.front();
    s.rate = format.rates.values.empty() ? qvxsim::rateOfFps(s.fps) : format.rates.values.front();
}

void selectNorm(Session& s, const qvxsim::NormSpec& norm) {
    const std::string previous = s.hasFormat ? s.format.text : std::string();
    s.norm = norm.name;
    for (const auto& f : norm.formats.values)
        if (s.hasFormat && f.text == previous) return selectFormat(s, qvxsim::formatOf(*s.camera, f));
    if (!norm.formats.values.empty())
        return selectFormat(s, qvxsim::formatOf(*s.camera, norm.formats.values.front()));
    s.hasFormat = false;
}

bool trySelectNorm(Session& s, const std::string& name) {
    if (!s.camera || !s.camera->hasNorms) return false;
    const qvxsim::NormSpec* norm = findNorm(*s.camera, name);
    if (norm == nullptr || norm->refuse) return false;
    if (s.camera->faults.refuses("setVideoNorm")) return false;
    selectNorm(s, *norm);
    return true;
}

// A "COLOR (WxH)" text that some descriptor of the camera can make.
bool selectDescriptorFormat(Session& s, const std::string& text) {
    const auto open = text.rfind(" (");
    if (open == std::string::npos || text.back() != ')') return false;
    const std::string color = text.substr(0, open);
    int width = 0, height = 0;
    char tail = 0;
    if (std::sscanf(text.c_str() + open + 2, "%dx%d%c", &width, &height, &tail) != 3 || tail != ')')
        return false;
    for (const auto& d : s.camera->descriptors.values) {
        if (d.isNull || d.colorformat != color || !qvxsim::descriptorAccepts(d, width, height)) continue;
        const FormatInfo info = qvxsim::formatOf(*s.camera, d, width, height);
        if (info.text != text) continue; // "%d" took leading zeros or a sign the canonical text lacks
        selectFormat(s, info);
        return true;
    }
    return false;
}

bool selectFormatByText(Session& s, const std::string& text) {
    const Camera& cam = *s.camera;
    if (cam.hasNorms) {
        if (const qvxsim::NormSpec* norm = findNorm(cam, s.norm))
            for (const auto& f : norm->formats.values)
                if (f.text == text) {
                    if (f.refuse) return false;
                    selectFormat(s, qvxsim::formatOf(cam, f));
                    return true;
                }
        const auto colon = text.find(':');
        if (colon == std::string::npos) return false;
        const qvxsim::NormSpec* norm = findNorm(cam, text.substr(0, colon));
        if (norm == nullptr) return false;
        const std::string formatText = text.substr(colon + 1);
        const qvxsim::FormatSpec* wanted = nullptr;
        for (const auto& f : norm->formats.values)
            if (f.text == formatText) wanted = &f;
        if (wanted == nullptr || wanted->refuse) return false;
        if (!trySelectNorm(s, norm->name)) return false;
        selectFormat(s, qvxsim::formatOf(cam, *wanted));
        return true;
    }
    return selectDescriptorFormat(s, text);
}

bool selectFormatItem(Session& s, const FormatInfo& wanted) {
    const Camera& cam = *s.camera;
    if (cam.hasNorms) {
        const qvxsim::NormSpec* norm = findNorm(cam, s.norm);
        if (norm == nullptr) return false;
        for (const auto& f : norm->formats.values)
            if (f.text == wanted.text && f.colorformat == wanted.colorformat && f.width == wanted.width &&
                f.height == wanted.height && !f.refuse) {
                selectFormat(s, qvxsim::formatOf(cam, f));
                return true;
            }
        return false;
    }
    for (const auto& d : cam.descriptors.values)
        if (!d.isNull && d.colorformat == wanted.colorformat &&
            qvxsim::descriptorAccepts(d, wanted.width, wanted.height)) {
            selectFormat(s, qvxsim::formatOf(cam, d, wanted.width, wanted.height));
            return true;
        }
    return false;
}

void selectFirstFormat(Session& s) {
    const Camera& cam = *s.camera;
    s.hasFormat = false;
    if (cam.hasNorms) {
        s.norm.clear();
        if (!cam.norms.values.empty()) selectNorm(s, cam.norms.values.front());
        return;
    }
    s.norm = cam.normName;
    for (const auto& d : cam.descriptors.values)
        if (!d.isNull) return selectFormat(s, qvxsim::formatOf(cam, d, d.max.cx, d.max.cy));
}

// Ends the session's hold on its device; gives back the sink holder for release outside the lock.
// A GenICam camera the session held is moved to `genicam`, so that it is closed (network traffic) after the
// lock is released.
refcount_ptr_base* closeSession(Session& s, std::shared_ptr<qvxgenicam::Device>& genicam) {
    if (s.camera) System::instance().counters.openDevices.fetch_sub(1);
    s.camera.reset();
    genicam = std::move(s.genicam);
    s.hasFormat = false;
    s.norm.clear();
    s.live = false;
    s.lost = false;
    s.fps = 0.0;
    s.rate = 0;
    s.channel = 0;
    s.overlayPosition = -1;
    return std::exchange(s.sinkHolder, nullptr);
}

// Ends live mode; returns once no callback runs any more, except when called from the callback itself.
void endLive(Grabber& grabber, Grabber::Impl& impl) {
    {
        System& sys = System::instance();
        Lock lock(sys.mutex);
        impl.session->live = false;
    }
    qvxsim::Delivery* current = qvxsim::Delivery::current();
    if (current != nullptr && &current->grabber() == &grabber) {
        // A listener stopping live mode: its thread leaves after the callback and is joined later.
        current->stop();
        return;
    }
    if (impl.genicamLive && impl.genicamLive->isDeliveryThread()) {
        impl.genicamLive->stop();
        return;
    }
    Lock control(impl.control);
    impl.delivery.reset();
    impl.genicamLive.reset();
}

void releaseHolder(refcount_ptr_base* holder) {
    if (holder != nullptr) holder->dec_ref();
}

// Live mode of a GenICam camera: the camera is set up and streaming before live mode counts as started.
bool startGenicamLive(Grabber& grabber, Grabber::Impl& impl, std::shared_ptr<qvxgenicam::Device> device,
                      bool showVideoWindow) {
    System& sys = System::instance();
    {
        Lock lock(sys.mutex);
        sys.log(std::string("startLive(") + (showVideoWindow ? "1" : "0") + ")");
        const Session& s = *impl.session;
        if (!s.camera || !s.hasFormat) return false;
        if (s.sinkHolder == nullptr || qvxsim::simSinkOf(s.sinkHolder) == nullptr) return false;
    }
    impl.genicamLive = qvxgenicam::startLive(grabber, impl.session, std::move(device));
    if (!impl.genicamLive) return false;
    Lock lock(sys.mutex);
    impl.session->live = true;
    return true;
}

} // namespace

bool InitLibrary() {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("InitLibrary()");
    sys.cameras();
    return true;
}

void ExitLibrary() {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("ExitLibrary()");
}

Grabber::Grabber() : impl_(new Impl()) {
    System& sys = System::instance();
    impl_->session->grabber = this;
    Lock lock(sys.mutex);
    sys.cameras();
    sys.sessions.push_back(impl_->session);
    sys.counters.liveGrabbers.fetch_add(1);
}

Grabber::~Grabber() {
    System& sys = System::instance();
    qvxsim::Delivery* current = qvxsim::Delivery::current();
    if (current != nullptr && &current->grabber() == this) {
        // A listener destroying its own grabber: the thread cannot join itself.
        current->stop();
        current->detach();
        (void)impl_->delivery.release(); // left alive: its thread still runs until the callback returns
    }
    if (impl_->genicamLive && impl_->genicamLive->isDeliveryThread()) {
        impl_->genicamLive->stop();
        (void)impl_->genicamLive.release(); // left alive, as above
    }
    impl_->delivery.reset();
    impl_->genicamLive.reset();
    refcount_ptr_base* sink = nullptr;
    std::shared_ptr<qvxgenicam::Device> genicam;
    {
        Lock lock(sys.mutex);
        sink = closeSession(*impl_->session, genicam);
        impl_->session->listeners.clear();
        impl_->session->grabber = nullptr;
        auto& list = sys.sessions;
        list.erase(std::remove(list.begin(), list.end(), impl_->session), list.end());
    }
    releaseHolder(sink);
    delete impl_;
    sys.counters.liveGrabbers.fetch_sub(1);
}

smart_ptr<dvector<VideoCaptureDeviceItem>> Grabber::getAvailableVideoCaptureDevices_() const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("getAvailableVideoCaptureDevices_()");
    const auto& set = sys.cameras();
    if (!set->devicesPresent) return qvxsim::missingList<VideoCaptureDeviceItem>();
    std::vector<VideoCaptureDeviceItem> items;
    items.reserve(set->cameras.size());
    for (const auto& cam : set->cameras) items.push_back(qvxsim::makeDeviceItem(*cam));
    return qvxsim::makeList(std::move(items));
}

bool Grabber::openDev(const char* deviceName) {
    System& sys = System::instance();
    if (deviceName == nullptr) {
        // The library reads the name without looking: a null one is the caller's breach, never "no name".
        sys.counters.contractViolations.fetch_add(1);
        Lock lock(sys.mutex);
        sys.log("openDev(null)");
        return false;
    }
    const std::string name = deviceName;
    endLive(*this, *impl_);
    refcount_ptr_base* sink = nullptr;
    bool opened = false;
    std::shared_ptr<Camera> listedGenicam;
    std::shared_ptr<qvxgenicam::Device> previous;
    {
        Lock lock(sys.mutex);
        for (const auto& cam : sys.cameras()->cameras)
            if (cam->name == name && !cam->genicam.empty() && !listedGenicam) listedGenicam = cam;
        // A GigE Vision camera takes one controller at a time: the device this grabber held is closed first.
        if (listedGenicam) sink = closeSession(*impl_->session, previous);
    }
    previous.reset();
    // A GenICam camera answers over the network: opened outside the lock, which delivery threads take.
    std::shared_ptr<qvxgenicam::Device> device;
    if (listedGenicam) device = qvxgenicam::openDevice(*listedGenicam);
    {
        Lock lock(sys.mutex);
        sys.log("openDev(" + name + ")");
        Session& s = *impl_->session;
        // At most one of the two closes finds a sink: the first one cleared the session.
        if (refcount_ptr_base* held = closeSession(s, previous)) sink = held;
        std::shared_ptr<Camera> found;
        if (device)
            found = qvxgenicam::modelOf(*device);
        else if (!listedGenicam)
            for (const auto& cam : sys.cameras()->cameras)
                if (cam->name == name) {
                    found = cam;
                    break;
                }
        if (found && found->opens && !found->faults.refuses("openDev")) {
            s.camera = found;
            s.genicam = device;
            s.openedAt = ++sys.openCounter;
            sys.counters.openDevices.fetch_add(1);
            selectFirstFormat(s);
            if (device && s.hasFormat) {
                s.fps = qvxgenicam::initialRate(*device);
                s.rate = qvxsim::rateOfFps(s.fps);
            }
            opened = true;
        }
    }
    releaseHolder(sink);
    return opened;
}

bool Grabber::closeDev() {
    endLive(*this, *impl_);
    System& sys = System::instance();
    refcount_ptr_base* sink = nullptr;
    std::shared_ptr<qvxgenicam::Device> genicam;
    bool wasOpen = false;
    {
        Lock lock(sys.mutex);
        sys.log("closeDev()");
        wasOpen = static_cast<bool>(impl_->session->camera);
        sink = closeSession(*impl_->session, genicam);
    }
    releaseHolder(sink);
    return wasOpen;
}

bool Grabber::isDevValid() const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("isDevValid()");
    const Session& s = *impl_->session;
    return s.camera && !s.lost && !(s.genicam && qvxgenicam::isLost(*s.genicam));
}

VideoCaptureDeviceItem Grabber::getDev() const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("getDev()");
    const auto& cam = impl_->session->camera;
    return cam ? qvxsim::makeDeviceItem(*cam) : VideoCaptureDeviceItem();
}

bool Grabber::isVideoNormAvailableWithCurDev() const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("isVideoNormAvailableWithCurDev()");
    const auto& cam = impl_->session->camera;
    return cam && cam->hasNorms;
}

smart_ptr<dvector<VideoNormItem>> Grabber::getAvailableVideoNorms_() const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("getAvailableVideoNorms_()");
    const auto& cam = impl_->session->camera;
    if (!cam) return qvxsim::missingList<VideoNormItem>();
    if (!cam->hasNorms) return qvxsim::makeList(std::vector<VideoNormItem>());
    if (!cam->norms.present) return qvxsim::missingList<VideoNormItem>();
    std::vector<VideoNormItem> items;
    for (const auto& norm : cam->norms.values) items.push_back(qvxsim::makeNormItem(norm.name));
    return qvxsim::makeList(std::move(items));
}

bool Grabber::setVideoNorm(const VideoNormItem& norm) {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log(std::string("setVideoNorm(") + norm.c_str() + ")");
    return norm.data() != nullptr && !impl_->session->live && trySelectNorm(*impl_->session, norm.c_str());
}

bool Grabber::setVideoNorm(dstringa norm) {
    const std::string name = norm.str == nullptr ? "" : norm.str;
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("setVideoNorm(" + name + ")");
    return !impl_->session->live && trySelectNorm(*impl_->session, name);
}

VideoNormItem Grabber::getVideoNorm() const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("getVideoNorm()");
    const Session& s = *impl_->session;
    if (!s.camera || (s.camera->hasNorms && s.norm.empty() && s.camera->norms.values.empty()))
        return VideoNormItem();
    return qvxsim::makeNormItem(s.norm);
}

smart_ptr<dvector<VideoFormatItem>> Grabber::getAvailableVideoFormats_(const VideoNormItem& norm) const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log(std::string("getAvailableVideoFormats_(") + norm.c_str() + ")");
    const auto& cam = impl_->session->camera;
    if (!cam || norm.data() == nullptr) return qvxsim::missingList<VideoFormatItem>();
    std::vector<VideoFormatItem> items;
    if (cam->hasNorms) {
        const qvxsim::NormSpec* described = findNorm(*cam, norm.c_str());
        if (described == nullptr || !described->formats.present)
            return qvxsim::missingList<VideoFormatItem>();
        for (const auto& f : described->formats.values)
            items.push_back(qvxsim::makeFormatItem(qvxsim::formatOf(*cam, f)));
    } else {
        if (!cam->descriptors.present) return qvxsim::missingList<VideoFormatItem>();
        for (const auto& d : cam->descriptors.values)
            if (!d.isNull)
                items.push_back(qvxsim::makeFormatItem(qvxsim::formatOf(*cam, d, d.max.cx, d.max.cy)));
    }
    return qvxsim::makeList(std::move(items));
}

smart_ptr<dvector<smart_ptr<VideoFormatDesc>>>
Grabber::getAvailableVideoFormatDescs_(const VideoNormItem& norm) const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log(std::string("getAvailableVideoFormatDescs_(") + norm.c_str() + ")");
    const auto& cam = impl_->session->camera;
    using Desc = smart_ptr<VideoFormatDesc>;
    if (!cam) return qvxsim::missingList<Desc>();
    if (cam->faults.refuses("getAvailableVideoFormatDescs")) return qvxsim::missingList<Desc>();
    std::vector<Desc> list;
    // Devices with norms describe fixed formats only; their descriptor list is empty.
    if (!cam->hasNorms) {
        if (!cam->descriptors.present) return qvxsim::missingList<Desc>();
        for (const auto& d : cam->descriptors.values) list.push_back(qvxsim::makeDescriptorHandle(cam, d));
    }
    return qvxsim::makeList(std::move(list));
}

bool Grabber::setVideoFormat(const VideoFormatItem& format) {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log(std::string("setVideoFormat(") + format.c_str() + ")");
    Session& s = *impl_->session;
    if (!s.camera || !format.isValid() || s.live) return false;
    if (s.camera->faults.refuses("setVideoFormatItem")) return false;
    return selectFormatItem(s, format.data()->info);
}

bool Grabber::setVideoFormat(dstringa format) {
    const std::string text = format.str == nullptr ? "" : format.str;
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("setVideoFormat(" + text + ")");
    Session& s = *impl_->session;
    if (!s.camera || s.live) return false;
    if (s.camera->faults.refuses("setVideoFormat")) return false;
    return selectFormatByText(s, text);
}

VideoFormatItem Grabber::getVideoFormat() const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("getVideoFormat()");
    const Session& s = *impl_->session;
    if (!s.camera || !s.hasFormat) return VideoFormatItem();
    return qvxsim::makeFormatItem(s.format);
}

bool Grabber::isFrameRateListAvailable() const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("isFrameRateListAvailable()");
    const auto& cam = impl_->session->camera;
    return cam && cam->frameRateList;
}

smart_ptr<dvector<double>> Grabber::getAvailableFPS_(const VideoFormatItem& format) const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log(std::string("getAvailableFPS_(") + format.c_str() + ")");
    if (!impl_->session->camera || !format.isValid()) return qvxsim::missingList<double>();
    return qvxsim::makeList(format.data()->info.fps);
}

smart_ptr<dvector<std::int32_t>> Grabber::getAvailableFrameRates_(const VideoFormatItem& format) const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log(std::string("getAvailableFrameRates_(") + format.c_str() + ")");
    if (!impl_->session->camera || !format.isValid()) return qvxsim::missingList<std::int32_t>();
    return qvxsim::makeList(format.data()->info.rates);
}

std::int32_t Grabber::getFrameRate() const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("getFrameRate()");
    return impl_->session->camera ? impl_->session->rate : 0;
}

bool Grabber::setFrameRate(std::int32_t rate) {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("setFrameRate(" + std::to_string(rate) + ")");
    Session& s = *impl_->session;
    if (!s.camera || !s.hasFormat || s.camera->faults.refuses("setFrameRate")) return false;
    const auto& rates = s.format.rates.values;
    const auto it = std::find(rates.begin(), rates.end(), rate);
    if (it == rates.end()) return false;
    const auto index = static_cast<std::size_t>(it - rates.begin());
    s.rate = rate;
    s.fps = index < s.format.fps.values.size() ? s.format.fps.values[index] : 10000000.0 / rate;
    return true;
}

bool Grabber::setFPS(double fps) {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("setFPS(" + fpsText(fps) + ")");
    Session& s = *impl_->session;
    if (!s.camera || !s.hasFormat || !(fps > 0.0) || !std::isfinite(fps)) return false;
    if (s.camera->faults.refuses("setFPS")) return false;
    const auto& list = s.format.fps.values;
    if (!list.empty() && fps > *std::max_element(list.begin(), list.end()) * (1.0 + 1e-9)) return false;
    s.fps = fps;
    s.rate = qvxsim::rateOfFps(fps);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (std::fabs(list[i] - fps) <= 1e-9 * fps && i < s.format.rates.values.size())
            s.rate = s.format.rates.values[i];
    return true;
}

bool Grabber::isInputChannelAvailableWithCurDev() const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("isInputChannelAvailableWithCurDev()");
    const auto& cam = impl_->session->camera;
    return cam && cam->hasInputChannels;
}

smart_ptr<dvector<AnalogChannelItem>> Grabber::getAvailableInputChannels_() const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("getAvailableInputChannels_()");
    const auto& cam = impl_->session->camera;
    if (!cam || !cam->inputChannels.present) return qvxsim::missingList<AnalogChannelItem>();
    std::vector<AnalogChannelItem> items;
    for (std::size_t i = 0; i < cam->inputChannels.values.size(); ++i)
        items.push_back(qvxsim::makeChannelItem(cam->inputChannels.values[i], static_cast<int>(i)));
    return qvxsim::makeList(std::move(items));
}

AnalogChannelItem Grabber::getInputChannel() const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("getInputChannel()");
    const Session& s = *impl_->session;
    if (!s.camera || static_cast<std::size_t>(s.channel) >= s.camera->inputChannels.values.size())
        return AnalogChannelItem();
    return qvxsim::makeChannelItem(s.camera->inputChannels.values[static_cast<std::size_t>(s.channel)],
                                   s.channel);
}

bool Grabber::setInputChannel(std::uint32_t index) {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("setInputChannel(" + std::to_string(index) + ")");
    Session& s = *impl_->session;
    if (!s.camera || index >= s.camera->inputChannels.values.size()) return false;
    if (s.camera->faults.refuses("setInputChannel")) return false;
    s.channel = static_cast<int>(index);
    return true;
}

bool Grabber::addListener(GrabberListener* listener, std::uint32_t eventMask) {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    char text[64];
    std::snprintf(text, sizeof text, "addListener(0x%X)", static_cast<unsigned>(eventMask));
    sys.log(text);
    Session& s = *impl_->session;
    if (listener == nullptr) return false;
    if (s.camera && s.camera->faults.refuses("addListener")) return false;
    if (std::find(s.listeners.begin(), s.listeners.end(), listener) == s.listeners.end())
        s.listeners.push_back(listener);
    return true;
}

bool Grabber::setSinkType(const smart_ptr<GrabberSinkType>& sink) {
    System& sys = System::instance();
    refcount_ptr_base* previous = nullptr;
    {
        Lock lock(sys.mutex);
        sys.log("setSinkType()");
        Session& s = *impl_->session;
        if (s.live) return false;
        if (s.camera && s.camera->faults.refuses("setSinkType")) return false;
        sink.holder()->inc_ref();
        previous = std::exchange(s.sinkHolder, sink.holder());
    }
    releaseHolder(previous);
    return true;
}

bool Grabber::setOverlayBitmapPathPosition(int position) {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("setOverlayBitmapPathPosition(" + std::to_string(position) + ")");
    if (!impl_->session->camera) return false;
    impl_->session->overlayPosition = position;
    return true;
}

bool Grabber::startLive(bool showVideoWindow) {
    System& sys = System::instance();
    qvxsim::Delivery* current = qvxsim::Delivery::current();
    if (current != nullptr && &current->grabber() == this) {
        // From a listener: the thread that would have to be replaced is this one.
        Lock lock(sys.mutex);
        sys.log(std::string("startLive(") + (showVideoWindow ? "1" : "0") + ")");
        return false;
    }
    Lock control(impl_->control);
    impl_->delivery.reset(); // a thread a listener stopped from inside is joined here
    impl_->genicamLive.reset();
    std::shared_ptr<qvxgenicam::Device> device;
    {
        Lock lock(sys.mutex);
        device = impl_->session->genicam;
    }
    if (device) return startGenicamLive(*this, *impl_, std::move(device), showVideoWindow);
    std::shared_ptr<qvxsim::BufferRing> ring;
    {
        Lock lock(sys.mutex);
        sys.log(std::string("startLive(") + (showVideoWindow ? "1" : "0") + ")");
        Session& s = *impl_->session;
        if (!s.camera || !s.hasFormat) return false;
        if (s.sinkHolder == nullptr || qvxsim::simSinkOf(s.sinkHolder) == nullptr) return false;
        if (s.camera->faults.refuses("startLive")) return false;
        // Buffers and thread come first: a camera that cannot get them does not start, and says so.
        try {
            ring = qvxsim::firstRing(s);
        } catch (const std::exception&) {
            return false;
        }
        s.live = true;
    }
    try {
        impl_->delivery = std::make_unique<qvxsim::Delivery>(*this, impl_->session, std::move(ring));
    } catch (const std::exception&) {
        Lock lock(sys.mutex);
        impl_->session->live = false;
        return false;
    }
    return true;
}

bool Grabber::stopLive() {
    {
        System& sys = System::instance();
        Lock lock(sys.mutex);
        sys.log("stopLive()");
    }
    endLive(*this, *impl_);
    return true;
}

bool Grabber::isLive() const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("isLive()");
    return impl_->session->live;
}

smart_com<IVCDPropertyItems> Grabber::getAvailableVCDProperties() const {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.log("getAvailableVCDProperties()");
    const Session& s = *impl_->session;
    if (s.genicam) return smart_com<IVCDPropertyItems>(qvxgenicam::makeVcdItems(impl_->session, s.genicam));
    if (!s.camera || !s.camera->vcd.present) return smart_com<IVCDPropertyItems>();
    return smart_com<IVCDPropertyItems>(qvxsim::makeVcdItems(impl_->session, s.camera));
}

} // namespace KapriLib
