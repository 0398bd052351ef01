// The toolbox's view of one adaptor library: discovery, description and the making of video inputs.
#include <algorithm>
#include <cctype>

#include "sim/toolbox/adaptor_calls.h"
#include "sim/toolbox/description_objects.h"
#include "sim/toolbox/loaded_adaptor.h"
#include "sim/toolbox/records.h"
#include "sim/toolbox/toolbox.h"
#include "sim/toolbox/video_input_impl.h"

namespace qvxtb {

struct Adaptor::Impl {
    std::string path;
    std::shared_ptr<detail::LoadedAdaptor> loaded;
    std::shared_ptr<detail::HardwareInfoObject> hardware; // from the last hwinfo

    std::shared_ptr<detail::DeviceInfoObject> deviceObject(Adaptor& owner, const std::string& idOrName);
    DeviceDescription describe(const std::shared_ptr<detail::DeviceInfoObject>& device,
                               const std::string& format);
};

namespace {

std::string deviceList(const std::vector<DeviceInfo>& devices) {
    std::string list;
    for (const DeviceInfo& device : devices) {
        list += (list.empty() ? "" : ", ") + std::to_string(device.id) + " \"" + device.name + "\"";
    }
    return list.empty() ? "none" : list;
}

bool isDecimal(const std::string& text) {
    return !text.empty() && text.size() < 10 && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

} // namespace

Adaptor::Adaptor(const std::string& path) : impl_(std::make_unique<Impl>()) {
    impl_->path = path;
    impl_->loaded = std::make_shared<detail::LoadedAdaptor>(path);
}

Adaptor::~Adaptor() = default;

const std::string& Adaptor::path() const { return impl_->path; }

std::string Adaptor::name() const {
    std::string file = impl_->path.substr(impl_->path.find_last_of("/\\") + 1);
    file = file.substr(0, file.find('.'));
    if (file.rfind("lib", 0) == 0 && file.size() > 3) file = file.substr(3);
    for (char& c : file) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return file;
}

std::vector<DeviceInfo> Adaptor::hwinfo() {
    auto hardware = std::make_shared<detail::HardwareInfoObject>();
    detail::record("imaqkit", "getAvailHW");
    detail::callAdaptor("getAvailHW", [&] { impl_->loaded->getAvailHW(hardware.get()); });
    impl_->hardware = hardware;
    std::vector<DeviceInfo> devices;
    for (const auto& device : hardware->devices()) devices.push_back(device->info());
    return devices;
}

std::shared_ptr<detail::DeviceInfoObject> Adaptor::Impl::deviceObject(Adaptor& owner,
                                                                      const std::string& idOrName) {
    if (!hardware) owner.hwinfo();
    const auto& devices = hardware->devices();
    if (isDecimal(idOrName)) {
        const int id = std::stoi(idOrName);
        for (const auto& device : devices) {
            if (device->info().id == id) return device;
        }
    }
    for (const auto& device : devices) {
        if (device->name() == idOrName) return device;
    }
    std::vector<DeviceInfo> infos;
    for (const auto& device : devices) infos.push_back(device->info());
    throw ToolboxError("No device \"" + idOrName + "\". Devices: " + deviceList(infos) + ".");
}

DeviceInfo Adaptor::findDevice(const std::string& idOrName) {
    return impl_->deviceObject(*this, idOrName)->info();
}

DeviceDescription Adaptor::Impl::describe(const std::shared_ptr<detail::DeviceInfoObject>& device,
                                          const std::string& format) {
    const DeviceInfo info = device->info();
    const bool known = std::any_of(info.formats.begin(), info.formats.end(),
                                   [&](const FormatInfo& candidate) { return candidate.name == format; });
    if (!known) {
        std::string list;
        for (const FormatInfo& candidate : info.formats)
            list += (list.empty() ? "\"" : ", \"") + candidate.name + "\"";
        throw ToolboxError("\"" + format + "\" is not a format of device " + std::to_string(info.id) + " \"" +
                           info.name + "\". Formats: " + (list.empty() ? "none" : list) + ".");
    }
    detail::PropFactoryObject factory;
    detail::SourceInfoObject sources;
    detail::TriggerInfoObject triggers;
    detail::record("imaqkit", "getDeviceAttributes", info.name, format);
    detail::callAdaptor("getDeviceAttributes", [&] {
        loaded->getDeviceAttributes(device.get(), format.c_str(), &factory, &sources, &triggers);
    });
    DeviceDescription description;
    description.sources = sources.sources();
    description.properties = factory.published();
    return description;
}

DeviceDescription Adaptor::describe(const std::string& device, const std::string& format) {
    return impl_->describe(impl_->deviceObject(*this, device), format);
}

std::unique_ptr<VideoInput> Adaptor::videoinput(const std::string& device, const std::string& format) {
    auto deviceInfo = impl_->deviceObject(*this, device);
    DeviceDescription description = impl_->describe(deviceInfo, format);

    std::unique_ptr<VideoInput> input(new VideoInput());
    VideoInput::Impl& vi = *input->impl_;
    vi.library = impl_->loaded;
    vi.deviceInfo = deviceInfo;
    vi.format = format;
    vi.description = std::move(description);
    vi.engine = new detail::Engine();
    vi.state = vi.engine->state();

    PropertyInfo selected;
    selected.name = "SelectedSourceName";
    selected.type = PropType::String;
    selected.deviceSpecific = false;
    detail::PropertyEntry& source = vi.engine->engineProperties().add(selected);
    if (!vi.description.sources.empty()) source.textValue = vi.description.sources.front().name;
    for (const PropertyInfo& property : vi.description.properties) {
        vi.engine->deviceProperties().add(property).value = detail::defaultStored(property);
    }

    detail::record("imaqkit", "createInstance", deviceInfo->name(), format);
    vi.adaptor = detail::callAdaptor("createInstance", [&] {
        return impl_->loaded->createInstance(vi.engine, deviceInfo.get(), format.c_str());
    });
    if (vi.adaptor != nullptr) {
        const int width =
            detail::callAdaptor("Reading the image width", [&] { return vi.adaptor->getMaxWidth(); });
        const int height =
            detail::callAdaptor("Reading the image height", [&] { return vi.adaptor->getMaxHeight(); });
        std::lock_guard<std::mutex> lock(vi.state->mutex);
        vi.state->roi = {0, 0, width, height};
        vi.state->roiKnown = true;
    }
    return input;
}

imaqkit::GetAvailHWFn Adaptor::getAvailHW() const { return impl_->loaded->getAvailHW; }
imaqkit::GetDeviceAttributesFn Adaptor::getDeviceAttributes() const {
    return impl_->loaded->getDeviceAttributes;
}
imaqkit::CreateInstanceFn Adaptor::createInstance() const { return impl_->loaded->createInstance; }

} // namespace qvxtb
