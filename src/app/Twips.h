#pragma once

#include <QRect>

// The window layouts are given in twips; this is the one place they become logical pixels.
// Qt's high-DPI scaling does the rest.
namespace Twips {
inline constexpr int PerPixel = 15;

constexpr int toPixels(int twips) {
    return (twips + PerPixel / 2) / PerPixel;
}

constexpr QRect rect(int left, int top, int width, int height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}
} // namespace Twips
