// The still picture the preview shows: a 152 x 112 miniature of the effect,
// compiled into the program from resources/preview/preview.bmp.
#pragma once

#include <cstddef>
#include <cstdint>

#include "forms/image.h"

namespace virelta::saver {

inline constexpr int kPreviewPictureWidth = 152;
inline constexpr int kPreviewPictureHeight = 112;

// The bitmap file's bytes as compiled in.
const std::uint8_t* preview_picture_bytes();
std::size_t preview_picture_size();

// The picture, decoded once.
const Image& preview_picture();

}  // namespace virelta::saver
