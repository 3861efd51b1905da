#include "saver/preview_picture.h"

#include <vector>

#include "forms/bmp_file.h"

namespace virelta::saver {

namespace {
// Made by tools/virelta-preview-picture.cpp ("preview" command).
const std::uint8_t kPreviewBmp[] = {
#include "resources/preview/preview_bmp.inc"
};
}  // namespace

const std::uint8_t* preview_picture_bytes() { return kPreviewBmp; }
std::size_t preview_picture_size() { return sizeof kPreviewBmp; }

const Image& preview_picture() {
  static const Image picture = [] {
    Image decoded;
    decode_bmp(std::vector<std::uint8_t>(kPreviewBmp, kPreviewBmp + sizeof kPreviewBmp), decoded);
    return decoded;
  }();
  return picture;
}

}  // namespace virelta::saver
