#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace albumora {
namespace {

constexpr int kSamples = 3;  // per axis: 9 samples per pixel

std::uint8_t ToByte(double v) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

}  // namespace

Color Hex(std::uint32_t rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

Color Mix(Color a, Color b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height) {}

void Canvas::Fill(const Shade& shade) {
  for (int py = 0; py < height_; ++py) {
    for (int px = 0; px < width_; ++px) {
      Set(px, py, shade((px + 0.5) / height_, (py + 0.5) / height_));
    }
  }
}

void Canvas::Paint(double x0, double y0, double x1, double y1, const InsideTest& inside,
                   const Shade& shade, double opacity) {
  const int first_x = std::max(0, static_cast<int>(std::floor(x0 * height_)));
  const int last_x = std::min(width_ - 1, static_cast<int>(std::ceil(x1 * height_)));
  const int first_y = std::max(0, static_cast<int>(std::floor(y0 * height_)));
  const int last_y = std::min(height_ - 1, static_cast<int>(std::ceil(y1 * height_)));
  for (int py = first_y; py <= last_y; ++py) {
    for (int px = first_x; px <= last_x; ++px) {
      int hits = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const double x = (px + (sx + 0.5) / kSamples) / height_;
          const double y = (py + (sy + 0.5) / kSamples) / height_;
          if (inside(x, y)) ++hits;
        }
      }
      if (hits == 0) continue;
      const double weight = opacity * hits / (kSamples * kSamples);
      const Color c = shade((px + 0.5) / height_, (py + 0.5) / height_);
      Set(px, py, Mix(At(px, py), c, weight));
    }
  }
}

void Canvas::Glow(double cx, double cy, double radius, Color color, double strength) {
  // Beyond three radii the weight is below strength / 8000: not worth visiting.
  const double reach = 3 * radius;
  const int first_x = std::max(0, static_cast<int>(std::floor((cx - reach) * height_)));
  const int last_x = std::min(width_ - 1, static_cast<int>(std::ceil((cx + reach) * height_)));
  const int first_y = std::max(0, static_cast<int>(std::floor((cy - reach) * height_)));
  const int last_y = std::min(height_ - 1, static_cast<int>(std::ceil((cy + reach) * height_)));
  for (int py = first_y; py <= last_y; ++py) {
    for (int px = first_x; px <= last_x; ++px) {
      const double dx = (px + 0.5) / height_ - cx;
      const double dy = (py + 0.5) / height_ - cy;
      const double weight = strength * std::exp(-(dx * dx + dy * dy) / (radius * radius));
      if (weight > 1e-4) Set(px, py, Mix(At(px, py), color, std::min(weight, 1.0)));
    }
  }
}

std::vector<std::uint8_t> Canvas::ToRgb8() const {
  std::vector<std::uint8_t> rgb;
  rgb.reserve(pixels_.size() * 3);
  for (const Color& c : pixels_) {
    rgb.push_back(ToByte(c.r));
    rgb.push_back(ToByte(c.g));
    rgb.push_back(ToByte(c.b));
  }
  return rgb;
}

}  // namespace albumora
