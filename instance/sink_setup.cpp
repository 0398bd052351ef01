// Sink set-up: the frame sink for the current format, handed to the grabber with snap mode off.
#include "instance/sink_setup.h"

#include "grabber/text.h"
#include "host/frame.h"
#include "instance/qvx_adaptor.h"

namespace qvx {

using KapriLib::FrameHandlerSink;

SinkFormat sinkFormatFor(const std::string& name) {
    if (name == "Y800") return {KapriLib::eY800, imaqkit::kFrameMono8, false};
    if (name == "RGB24") return {KapriLib::eRGB24, imaqkit::kFrameBgr24, false};
    // Bayer raw is converted by the library; the host gets it as 24-bit colour.
    if (name == "BY8") return {KapriLib::eRGB24, imaqkit::kFrameBgr24, false};
    if (name == "RGB32") return {KapriLib::eRGB32, imaqkit::kFrameBgrx32, false};
    if (name == "Y16") return {KapriLib::eY16, imaqkit::kFrameMono16, true};
    return {KapriLib::eRGB32, imaqkit::kFrameBgrx32, false};
}

void QVXadaptor::setupSink(const KapriLib::VideoFormatItem& format) {
    const SinkFormat chosen = sinkFormatFor(KapriLib::takeDstringw(format.getColorformatString_()));
    const GUID subtype = KapriLib::getSubtypeFromColorformat(chosen.colorformat);

    KapriLib::smart_ptr<FrameHandlerSink> sink = [&] {
        KapriLib::tCreateData data{};
        data.bufferCount = 5;
        // An all-zero subtype names no frame type; an empty list leaves the choice to the library.
        if (subtype != GUID{}) data.frameTypes.push_back(KapriLib::FrameTypeInfo{subtype, SIZE{0, 0}, 0, 0});
        return FrameHandlerSink::create(data);
    }();
    sink_ = sink;
    frameType_ = chosen.frameType;

    if (chosen.needsOverlayPosition) grabber_.setOverlayBitmapPathPosition(0);

    {
        const KapriLib::smart_ptr<KapriLib::GrabberSinkType> asSinkType(
            new KapriLib::refcount_ptr_wrapper<KapriLib::GrabberSinkType, FrameHandlerSink>(sink_.holder()));
        grabber_.setSinkType(asSinkType);
    }

    if (FrameHandlerSink* created = sink_.get()) created->setSnapMode(false);
}

} // namespace qvx
