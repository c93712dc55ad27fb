// Conversions between the model's plain pictures and Qt images.
#pragma once

#include <QImage>

#include "ui/Form.h"

namespace ui::qt {

// A copy of the picture's pixels; a null image for an empty picture.
QImage ToImage(const Picture& picture);
// The image's pixels as a picture (converted to 32-bit ARGB).
Picture FromImage(const QImage& image);

}  // namespace ui::qt
