// The library's value items: each owns a copy of its data, and every item object is counted.
#include "sim/cameras/item_data.h"

#include <atomic>

#include "sim/cameras/sim_text.h"

namespace KapriLib {
namespace {

void born() { qvxsim::System::instance().counters.liveItems.fetch_add(1); }
void died() { qvxsim::System::instance().counters.liveItems.fetch_sub(1); }

template <class D> D* copyOf(const D* data) { return data == nullptr ? nullptr : new D(*data); }

template <class D> void assign(D*& target, const D* source) {
    if (target == source) return;
    D* copy = copyOf(source);
    delete target;
    target = copy;
}

} // namespace

VideoCaptureDeviceItem::VideoCaptureDeviceItem() : data_(nullptr) { born(); }
VideoCaptureDeviceItem::VideoCaptureDeviceItem(Data* data) : data_(data) { born(); }
VideoCaptureDeviceItem::VideoCaptureDeviceItem(const VideoCaptureDeviceItem& other)
    : data_(copyOf(other.data_)) {
    born();
}
VideoCaptureDeviceItem& VideoCaptureDeviceItem::operator=(const VideoCaptureDeviceItem& other) {
    assign(data_, other.data_);
    return *this;
}
VideoCaptureDeviceItem::~VideoCaptureDeviceItem() {
    delete data_;
    died();
}
const char* VideoCaptureDeviceItem::c_str() const { return data_ == nullptr ? "" : data_->name.c_str(); }
bool VideoCaptureDeviceItem::getSerialNumber(std::int64_t& serial) const {
    if (data_ == nullptr || !data_->serial) return false;
    serial = *data_->serial;
    return true;
}

VideoNormItem::VideoNormItem() : data_(nullptr) { born(); }
VideoNormItem::VideoNormItem(Data* data) : data_(data) { born(); }
VideoNormItem::VideoNormItem(const VideoNormItem& other) : data_(copyOf(other.data_)) { born(); }
VideoNormItem& VideoNormItem::operator=(const VideoNormItem& other) {
    assign(data_, other.data_);
    return *this;
}
VideoNormItem::~VideoNormItem() {
    delete data_;
    died();
}
const char* VideoNormItem::c_str() const { return data_ == nullptr ? "" : data_->name.c_str(); }

VideoFormatItem::VideoFormatItem() : data_(nullptr) { born(); }
VideoFormatItem::VideoFormatItem(Data* data) : data_(data) { born(); }
VideoFormatItem::VideoFormatItem(const VideoFormatItem& other) : data_(copyOf(other.data_)) { born(); }
VideoFormatItem& VideoFormatItem::operator=(const VideoFormatItem& other) {
    assign(data_, other.data_);
    return *this;
}
VideoFormatItem::~VideoFormatItem() {
    delete data_;
    died();
}
const char* VideoFormatItem::c_str() const { return data_ == nullptr ? "" : data_->info.text.c_str(); }
dstringw VideoFormatItem::toString_() const {
    return qvxsim::toDstringw(data_ == nullptr ? "" : data_->info.text);
}
dstringw VideoFormatItem::getColorformatString_() const {
    return qvxsim::toDstringw(data_ == nullptr ? "" : data_->info.colorformat);
}
SIZE VideoFormatItem::getSize() const {
    return data_ == nullptr ? SIZE{0, 0} : SIZE{data_->info.width, data_->info.height};
}
bool VideoFormatItem::isValid() const { return data_ != nullptr; }
bool VideoFormatItem::operator==(const VideoFormatItem& other) const {
    if (data_ == nullptr || other.data_ == nullptr) return data_ == other.data_;
    const auto& a = data_->info;
    const auto& b = other.data_->info;
    return a.text == b.text && a.colorformat == b.colorformat && a.width == b.width && a.height == b.height;
}

AnalogChannelItem::AnalogChannelItem() : data_(nullptr) { born(); }
AnalogChannelItem::AnalogChannelItem(Data* data) : data_(data) { born(); }
AnalogChannelItem::AnalogChannelItem(const AnalogChannelItem& other) : data_(copyOf(other.data_)) { born(); }
AnalogChannelItem& AnalogChannelItem::operator=(const AnalogChannelItem& other) {
    assign(data_, other.data_);
    return *this;
}
AnalogChannelItem::~AnalogChannelItem() {
    delete data_;
    died();
}
const char* AnalogChannelItem::c_str() const { return data_ == nullptr ? "" : data_->name.c_str(); }

VideoFormatDesc::VideoFormatDesc(Data* data) : data_(data) {
    qvxsim::System::instance().counters.liveDescriptors.fetch_add(1);
}
VideoFormatDesc::~VideoFormatDesc() {
    delete data_;
    qvxsim::System::instance().counters.liveDescriptors.fetch_sub(1);
}
SIZE VideoFormatDesc::getMinSize() const { return data_->described.min; }
SIZE VideoFormatDesc::getMaxSize() const { return data_->described.max; }
SIZE VideoFormatDesc::getStepSize() const { return data_->described.step; }
bool VideoFormatDesc::isROIFormat() const { return data_->described.roi; }
VideoFormatItem VideoFormatDesc::createVideoFormat(const SIZE& size) const {
    return createVideoFormat(size.cx, size.cy);
}
VideoFormatItem VideoFormatDesc::createVideoFormat(int width, int height) const {
    return qvxsim::makeFormatItem(qvxsim::formatOf(*data_->camera, data_->described, width, height));
}

} // namespace KapriLib

namespace qvxsim {

KapriLib::VideoCaptureDeviceItem makeDeviceItem(const Camera& camera) {
    return KapriLib::VideoCaptureDeviceItem(
        new KapriLib::VideoCaptureDeviceItem::Data{camera.name, camera.serial});
}
KapriLib::VideoNormItem makeNormItem(const std::string& name) {
    return KapriLib::VideoNormItem(new KapriLib::VideoNormItem::Data{name});
}
KapriLib::VideoFormatItem makeFormatItem(const FormatInfo& info) {
    return KapriLib::VideoFormatItem(new KapriLib::VideoFormatItem::Data{info});
}
KapriLib::AnalogChannelItem makeChannelItem(const std::string& name, int index) {
    return KapriLib::AnalogChannelItem(new KapriLib::AnalogChannelItem::Data{name, index});
}

namespace {

class DescriptorHolder final : public KapriLib::refcount_ptr_base {
public:
    explicit DescriptorHolder(KapriLib::VideoFormatDesc* desc) : desc_(desc) {}
    ~DescriptorHolder() override { delete desc_; }
    void inc_ref() override { count_.fetch_add(1, std::memory_order_relaxed); }
    void dec_ref() override {
        if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
    void* get() const override { return desc_; }

private:
    std::atomic<std::int32_t> count_{1};
    KapriLib::VideoFormatDesc* desc_;
};

} // namespace

KapriLib::smart_ptr<KapriLib::VideoFormatDesc> makeDescriptorHandle(const std::shared_ptr<Camera>& camera,
                                                                    const DescriptorSpec& described) {
    KapriLib::VideoFormatDesc* desc =
        described.isNull
            ? nullptr
            : new KapriLib::VideoFormatDesc(new KapriLib::VideoFormatDesc::Data{camera, described});
    return KapriLib::smart_ptr<KapriLib::VideoFormatDesc>(new DescriptorHolder(desc));
}

} // namespace qvxsim
