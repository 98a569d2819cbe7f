#include "navigation_graphics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>

#include "canvas.h"
#include "jpeg_writer.h"

namespace albumora {
namespace {

constexpr int kSize = kNavigationGraphicSize;
constexpr int kSamples = 4;  // per axis
constexpr int kLevels = kSamples * kSamples + 1;

constexpr std::array<std::uint8_t, 3> kPageBackground = {0xF5, 0xF4, 0xF0};
constexpr std::array<std::uint8_t, 3> kButton = {0x2B, 0x6A, 0x8E};
constexpr std::array<std::uint8_t, 3> kArrow = {0xFF, 0xFF, 0xFF};

// The empty overview cell: a calm light grey that reads as "no photo here".
constexpr std::uint32_t kEmptyCellColor = 0xE2E2DF;
constexpr int kEmptyCellWidth = 150;
constexpr int kEmptyCellHeight = 100;

struct Point {
  double x;
  double y;
};

double Cross(Point a, Point b, Point p) {
  return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

bool InTriangle(Point a, Point b, Point c, Point p) {
  const double d1 = Cross(a, b, p);
  const double d2 = Cross(b, c, p);
  const double d3 = Cross(c, a, p);
  const bool negative = d1 < 0 || d2 < 0 || d3 < 0;
  const bool positive = d1 > 0 || d2 > 0 || d3 > 0;
  return !(negative && positive);
}

bool InButton(Point p) {
  constexpr double kLow = 0.5;
  constexpr double kHigh = kSize - 0.5;
  constexpr double kRadius = 4.5;
  const double cx = std::clamp(p.x, kLow + kRadius, kHigh - kRadius);
  const double cy = std::clamp(p.y, kLow + kRadius, kHigh - kRadius);
  if (p.x < kLow || p.x > kHigh || p.y < kLow || p.y > kHigh) return false;
  return std::hypot(p.x - cx, p.y - cy) <= kRadius;
}

// The arrows pointing right; the left-pointing ones are their mirror images, so that the pairs
// match to the pixel. Straight edges lie on pixel borders to stay sharp.
bool InRightArrow(bool with_bar, Point p) {
  if (with_bar) {
    const bool bar = p.x >= 13 && p.x <= 15 && p.y >= 5 && p.y <= 15;
    return bar || InTriangle({6, 5}, {12.5, 10}, {6, 15}, p);
  }
  return InTriangle({7, 5}, {14, 10}, {7, 15}, p);
}

bool InSymbol(NavigationSymbol symbol, Point p) {
  const Point mirrored{kSize - p.x, p.y};
  switch (symbol) {
    case NavigationSymbol::kNext:
      return InRightArrow(false, p);
    case NavigationSymbol::kLast:
      return InRightArrow(true, p);
    case NavigationSymbol::kPrevious:
      return InRightArrow(false, mirrored);
    case NavigationSymbol::kFirst:
      return InRightArrow(true, mirrored);
  }
  return false;
}

std::uint8_t Blend(std::uint8_t from, std::uint8_t to, int level) {
  return static_cast<std::uint8_t>(
      std::lround(from + (to - from) * static_cast<double>(level) / (kLevels - 1)));
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out.good();
}

}  // namespace

IndexedImage MakeNavigationButton(NavigationSymbol symbol) {
  IndexedImage image;
  image.width = kSize;
  image.height = kSize;
  // Index 0 is transparent (in the page's colour for viewers that ignore transparency); index
  // 1 + k is the button with k of the 16 samples covered by the arrow.
  image.palette.push_back(kPageBackground);
  for (int level = 0; level < kLevels; ++level) {
    image.palette.push_back({Blend(kButton[0], kArrow[0], level),
                             Blend(kButton[1], kArrow[1], level),
                             Blend(kButton[2], kArrow[2], level)});
  }
  image.transparent = 0;
  for (int py = 0; py < kSize; ++py) {
    for (int px = 0; px < kSize; ++px) {
      int button = 0;
      int arrow = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const Point p{px + (sx + 0.5) / kSamples, py + (sy + 0.5) / kSamples};
          if (InButton(p)) ++button;
          if (InSymbol(symbol, p)) ++arrow;
        }
      }
      const bool opaque = 2 * button >= kSamples * kSamples;
      image.pixels.push_back(opaque ? static_cast<std::uint8_t>(1 + arrow) : 0);
    }
  }
  return image;
}

IndexedImage MakeBlankGraphic() {
  IndexedImage image;
  image.width = kSize;
  image.height = kSize;
  image.palette = {kPageBackground, kButton};
  image.transparent = 0;
  image.pixels.assign(static_cast<std::size_t>(kSize) * kSize, 0);
  return image;
}

bool WriteProgramGraphics(const std::string& folder) {
  struct Graphic {
    const char* name;
    IndexedImage image;
  };
  const Graphic graphics[] = {
      {"anfang.gif", MakeNavigationButton(NavigationSymbol::kFirst)},
      {"ende.gif", MakeNavigationButton(NavigationSymbol::kLast)},
      {"zurück.gif", MakeNavigationButton(NavigationSymbol::kPrevious)},
      {"vor.gif", MakeNavigationButton(NavigationSymbol::kNext)},
      {"space.gif", MakeBlankGraphic()},
  };
  for (const Graphic& graphic : graphics) {
    if (!WriteFile(folder + graphic.name, EncodeGif(graphic.image))) return false;
  }
  Canvas empty_cell(kEmptyCellWidth, kEmptyCellHeight);
  empty_cell.Fill([](double, double) { return Hex(kEmptyCellColor); });
  return WriteJpeg(folder + "leer.jpg", empty_cell.ToRgb8(), kEmptyCellWidth, kEmptyCellHeight, 90);
}

}  // namespace albumora
