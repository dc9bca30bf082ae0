#pragma once

#include <cmath>

namespace morlund {

// Plane vector, returned by value.
struct Vect {
    double x = 0.0;
    double y = 0.0;

    constexpr Vect() = default;
    constexpr Vect(double ax, double ay) : x(ax), y(ay) {}

    constexpr Vect operator+(const Vect& o) const { return {x + o.x, y + o.y}; }
    constexpr Vect operator-(const Vect& o) const { return {x - o.x, y - o.y}; }
    constexpr Vect operator*(double f) const { return {x * f, y * f}; }
    constexpr Vect operator/(double f) const { return {x / f, y / f}; }
    constexpr bool operator==(const Vect&) const = default;
    constexpr bool IsZero() const { return x == 0.0 && y == 0.0; }
    double Length() const { return std::sqrt(x * x + y * y); }
};

}  // namespace morlund
