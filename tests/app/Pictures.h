#pragma once

// Comparing pictures pixel by pixel: the drawing tests and the benchmarks' --check.

#include <QImage>

namespace pictures {

// Pixels in which two pictures of one size differ.
inline int CountDiffering(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

}  // namespace pictures
