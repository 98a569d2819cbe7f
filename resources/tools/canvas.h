// A small RGB drawing surface for the pictures that come with the program. Shapes are drawn with
// their coverage of each pixel estimated from a grid of samples, so edges are smooth.
#ifndef ALBUMORA_RESOURCES_TOOLS_CANVAS_H_
#define ALBUMORA_RESOURCES_TOOLS_CANVAS_H_

#include <cstdint>
#include <functional>
#include <vector>

namespace albumora {

struct Color {
  double r = 0;
  double g = 0;
  double b = 0;
};

// 0xRRGGBB as a colour.
Color Hex(std::uint32_t rgb);
// a when t is 0, b when t is 1.
Color Mix(Color a, Color b, double t);

// Shapes and shades use coordinates in units of the picture's height: y runs from 0 (top) to 1
// (bottom), x from 0 to width / height, so a circle stays round in any picture.
using InsideTest = std::function<bool(double x, double y)>;
using Shade = std::function<Color(double x, double y)>;

class Canvas {
 public:
  Canvas(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  double aspect() const { return static_cast<double>(width_) / height_; }

  // Every pixel takes the shade at its centre.
  void Fill(const Shade& shade);

  // Covers the shape with `shade`, weighted by the share of each pixel's samples inside it and by
  // `opacity`. Only pixels in [x0, x1] x [y0, y1] are looked at.
  void Paint(double x0, double y0, double x1, double y1, const InsideTest& inside,
             const Shade& shade, double opacity = 1.0);

  // Blends `color` in with a weight of strength * exp(-(d / radius)^2), d the distance from the
  // centre: haze, glow, soft light.
  void Glow(double cx, double cy, double radius, Color color, double strength);

  Color At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  void Set(int x, int y, Color c) { pixels_[static_cast<std::size_t>(y) * width_ + x] = c; }

  // 8-bit RGB rows, top to bottom.
  std::vector<std::uint8_t> ToRgb8() const;

 private:
  int width_;
  int height_;
  std::vector<Color> pixels_;
};

}  // namespace albumora

#endif  // ALBUMORA_RESOURCES_TOOLS_CANVAS_H_
