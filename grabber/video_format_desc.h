// A video format descriptor: the size limits of one colour format, and the maker of format items.
#pragma once

#include "grabber/items.h"
#include "grabber/kapri_api.h"
#include "platform/win32.h"

namespace KapriLib {

class KAPRI_API VideoFormatDesc {
public:
    struct Data;
    explicit VideoFormatDesc(Data* data);
    VideoFormatDesc(const VideoFormatDesc&) = delete;
    VideoFormatDesc& operator=(const VideoFormatDesc&) = delete;
    ~VideoFormatDesc();

    SIZE getMinSize() const;
    SIZE getMaxSize() const;
    SIZE getStepSize() const;
    bool isROIFormat() const;
    VideoFormatItem createVideoFormat(const SIZE& size) const;
    VideoFormatItem createVideoFormat(int width, int height) const;

private:
    Data* data_;
};

} // namespace KapriLib
