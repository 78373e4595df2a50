// Kestrova — identity photo maker.
#pragma once

#include <QColor>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>

/// A 120 x 180 head-and-shoulders picture like the captures the program saves: a graded
/// backdrop, a shaded face with hair, eyes and mouth, dark clothing, and sensor-like noise.
/// Drawn pixel by pixel from a fixed seed, so every run gets the same pixels.
inline QImage portraitPicture()
{
    constexpr int kWidth = 120;
    constexpr int kHeight = 180;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    std::uint32_t seed = 12345u;
    auto noise = [&seed](int amplitude) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 24) % unsigned(2 * amplitude + 1)) - amplitude;
    };
    auto inEllipse = [](double x, double y, double cx, double cy, double rx, double ry) {
        const double dx = (x - cx) / rx;
        const double dy = (y - cy) / ry;
        return dx * dx + dy * dy;
    };
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            // Backdrop: a studio blue, lighter at the top.
            double r = 150 - 0.25 * y;
            double g = 190 - 0.2 * y;
            double b = 235 - 0.1 * y;
            const double face = inEllipse(x, y, 60, 78, 30, 40);
            const double hair = inEllipse(x, y, 60, 66, 35, 44);
            const double shoulders = inEllipse(x, y, 60, 200, 62, 50);
            if (shoulders < 1.0) {
                const double shade = 40 + 25 * (1.0 - shoulders);
                r = shade;
                g = shade + 5;
                b = shade + 20;
            } else if (face < 1.0) {
                // Skin lit from the upper left, darker towards the jaw line.
                const double light = 1.0 - 0.35 * face - 0.003 * (x - 45) - 0.002 * (y - 60);
                r = 235 * light;
                g = 190 * light;
                b = 160 * light;
                const bool eye =
                    inEllipse(x, y, 48, 72, 5, 2.5) < 1.0 || inEllipse(x, y, 72, 72, 5, 2.5) < 1.0;
                const bool brow =
                    (std::abs(y - 64) < 2) && (std::abs(x - 48) < 7 || std::abs(x - 72) < 7);
                const bool mouth = inEllipse(x, y, 60, 100, 9, 2.5) < 1.0;
                const bool nose = std::abs(x - 61) < 2 && y > 76 && y < 90;
                if (eye || brow) {
                    r = 50;
                    g = 40;
                    b = 35;
                } else if (mouth) {
                    r = 180;
                    g = 80;
                    b = 80;
                } else if (nose) {
                    r *= 0.85;
                    g *= 0.85;
                    b *= 0.85;
                }
            } else if (hair < 1.0 && y < 110) {
                const double strand = 10 * std::sin(x * 0.9 + y * 0.15);
                r = 60 + strand;
                g = 42 + strand;
                b = 30 + strand;
            }
            const int grain = noise(6);
            auto channel = [grain](double value) { return std::clamp(int(value) + grain, 0, 255); };
            image.setPixel(x, y, qRgb(channel(r), channel(g), channel(b)));
        }
    }
    return image;
}
