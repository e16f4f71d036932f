// Plain point, rectangle and colour types of the curve math; the UI converts them to its own at the edge.
#pragma once

#include <cstdint>

namespace velmar {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct PointF {
    float x = 0.0f;
    float y = 0.0f;
};

// Edges in pixels; right and bottom lie just outside, as in the graph's hit tests.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    Point Centre() const { return {(left + right) / 2, (top + bottom) / 2}; }
    bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    bool operator==(const Rect&) const = default;
};

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// Pixel coordinate of a real position, truncated towards zero. Positions beyond a million pixels (the
// curve of a -3000 dB response, the mark of a frequency of 0) are held there, so integer arithmetic on
// the result stays defined; NaN gives -1000000. Branch-free, so loops over the grid vectorise.
inline int PixelFromReal(double v) {
    v = v > -1e6 ? v : -1e6; // NaN fails the test as well
    v = v < 1e6 ? v : 1e6;
    return static_cast<int>(v);
}

// 0xAARRGGBB.
using Argb = uint32_t;
inline constexpr Argb ArgbFromRgb(Rgb c, uint8_t alpha = 255) {
    return (Argb{alpha} << 24) | (Argb{c.r} << 16) | (Argb{c.g} << 8) | Argb{c.b};
}

} // namespace velmar
