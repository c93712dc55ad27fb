// Pixel copies between ui::Picture (ARGB words, row by row) and QImage.
#include "ui/qt/PictureImage.h"

#include <cstring>

namespace ui::qt {

QImage ToImage(const Picture& picture) {
  if (picture.empty() ||
      picture.pixels.size() < static_cast<std::size_t>(picture.width) * picture.height)
    return {};
  QImage image(picture.width, picture.height, QImage::Format_ARGB32);
  for (int y = 0; y < picture.height; ++y)
    std::memcpy(image.scanLine(y), picture.pixels.data() + static_cast<std::size_t>(y) * picture.width,
                static_cast<std::size_t>(picture.width) * sizeof(std::uint32_t));
  return image;
}

Picture FromImage(const QImage& image) {
  if (image.isNull()) return {};
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  Picture picture{argb.width(), argb.height(), {}};
  picture.pixels.resize(static_cast<std::size_t>(argb.width()) * argb.height());
  for (int y = 0; y < argb.height(); ++y)
    std::memcpy(picture.pixels.data() + static_cast<std::size_t>(y) * argb.width(),
                argb.constScanLine(y), static_cast<std::size_t>(argb.width()) * sizeof(std::uint32_t));
  return picture;
}

}  // namespace ui::qt
