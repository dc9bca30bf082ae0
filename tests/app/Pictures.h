#pragma once

// Comparing pictures pixel by pixel: the drawing tests and the benchmarks' --check.

#include <QImage>
#include <cstddef>
#include <set>

namespace pictures {

// Pixels in which two pictures of one size differ.
inline int CountDiffering(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// The number of different colours in a picture, every second pixel of every second row:
// a blank or one-colour picture has very few.
inline std::size_t CountColours(const QImage& image) {
    std::set<QRgb> colours;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); y += 2)
        for (int x = 0; x < rgb.width(); x += 2)
            colours.insert(rgb.pixel(x, y));
    return colours.size();
}

}  // namespace pictures
