#include "example_photos.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "canvas.h"
#include "jpeg_writer.h"

namespace albumora {
namespace {

constexpr int kLong = 1600;
constexpr int kShort = 1067;
constexpr int kQuality = 82;
constexpr double kPi = 3.14159265358979323846;

struct Stop {
  double at;
  std::uint32_t color;
};

// Colour of a gradient along `t` through the given stops (sorted by `at`).
Color Along(const std::vector<Stop>& stops, double t) {
  if (t <= stops.front().at) return Hex(stops.front().color);
  for (std::size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].at) {
      const double span = stops[i].at - stops[i - 1].at;
      return Mix(Hex(stops[i - 1].color), Hex(stops[i].color), (t - stops[i - 1].at) / span);
    }
  }
  return Hex(stops.back().color);
}

Shade Vertical(std::vector<Stop> stops) {
  return [stops = std::move(stops)](double, double y) { return Along(stops, y); };
}

Shade Plain(std::uint32_t color) {
  return [c = Hex(color)](double, double) { return c; };
}

InsideTest Circle(double cx, double cy, double r) {
  return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

void Disc(Canvas& canvas, double cx, double cy, double r, std::uint32_t color,
          double opacity = 1.0) {
  canvas.Paint(cx - r, cy - r, cx + r, cy + r, Circle(cx, cy, r), Plain(color), opacity);
}

bool InTriangle(double ax, double ay, double bx, double by, double cx, double cy, double x,
                double y) {
  const double d1 = (bx - ax) * (y - ay) - (by - ay) * (x - ax);
  const double d2 = (cx - bx) * (y - by) - (cy - by) * (x - bx);
  const double d3 = (ax - cx) * (y - cy) - (ay - cy) * (x - cx);
  return !((d1 < 0 || d2 < 0 || d3 < 0) && (d1 > 0 || d2 > 0 || d3 > 0));
}

void Triangle(Canvas& canvas, double ax, double ay, double bx, double by, double cx, double cy,
              const Shade& shade, double opacity = 1.0) {
  canvas.Paint(
      std::min({ax, bx, cx}), std::min({ay, by, cy}), std::max({ax, bx, cx}),
      std::max({ay, by, cy}),
      [=](double x, double y) { return InTriangle(ax, ay, bx, by, cx, cy, x, y); }, shade, opacity);
}

void Box(Canvas& canvas, double x0, double y0, double x1, double y1, const Shade& shade,
         double opacity = 1.0) {
  canvas.Paint(
      x0, y0, x1, y1, [=](double x, double y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; },
      shade, opacity);
}

// Everything below a skyline y = edge(x).
void Below(Canvas& canvas, double top, const std::function<double(double)>& edge,
           const Shade& shade, double opacity = 1.0) {
  canvas.Paint(
      0, top, canvas.aspect(), 1, [&](double x, double y) { return y >= edge(x); }, shade, opacity);
}

// A triangle wave between 0 and 1 with peaks at whole numbers: mountain ridges.
double Peaks(double t) { return 1 - 2 * std::abs(t - std::floor(t) - 0.5); }

// Deterministic numbers in [0, 1) for placing stars and trees.
class Sequence {
 public:
  explicit Sequence(std::uint32_t seed) : state_(seed) {}
  double Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) / 16777216.0;
  }

 private:
  std::uint32_t state_;
};

void DrawBeach(Canvas& c) {
  const double w = c.aspect();
  const double horizon = 0.6;
  const double sun_x = 0.62 * w;
  c.Fill(Vertical({{0, 0x24325F}, {0.3, 0x6E4A7E}, {0.5, 0xE0846A}, {horizon, 0xF9C784}}));
  c.Glow(sun_x, 0.52, 0.28, Hex(0xFFD89B), 0.55);
  c.Paint(
      sun_x - 0.08, 0.44, sun_x + 0.08, horizon,
      [&](double x, double y) { return y < horizon && Circle(sun_x, 0.52, 0.075)(x, y); },
      Plain(0xFFF1C8));
  Box(c, 0, horizon, w, 1, Vertical({{horizon, 0xE5906A}, {0.75, 0x3E4F7C}, {1, 0x1B2A4A}}));
  c.Paint(
      sun_x - 0.3, horizon, sun_x + 0.3, 0.9,
      [&](double x, double y) {
        const double spread = 0.015 + 0.35 * (y - horizon);
        return std::abs(x - sun_x) < spread && std::fmod(y * 90, 1.0) < 0.45;
      },
      Plain(0xFFD89B), 0.45);
  auto shore = [](double x) { return 0.86 + 0.035 * std::sin(x * 3.1 + 0.5); };
  Below(
      c, 0.8, [&](double x) { return shore(x) - 0.008; }, Plain(0xF4EDE0), 0.8);
  Below(c, 0.8, shore, Vertical({{0.82, 0xC9986A}, {1, 0xE8C893}}));
}

void DrawMountains(Canvas& c) {
  const double w = c.aspect();
  c.Fill(Vertical({{0, 0x6FA6D2}, {0.6, 0xDCEDF5}}));
  c.Glow(1.25, 0.12, 0.3, Hex(0xFFF6DA), 0.5);
  struct Layer {
    double base, amp, freq, phase;
    std::uint32_t color;
  };
  const Layer layers[] = {{0.55, 0.32, 1.3, 0.2, 0x8FA8C2},
                          {0.66, 0.24, 1.9, 0.7, 0x6B8AA6},
                          {0.78, 0.16, 2.6, 0.1, 0x4D6B63},
                          {0.9, 0.1, 3.4, 0.45, 0x2E4A3B}};
  const Color haze = Hex(0xDCEDF5);
  for (std::size_t i = 0; i < std::size(layers); ++i) {
    const Layer& l = layers[i];
    auto ridge = [&](double x) {
      return l.base - l.amp * (0.65 * Peaks(x * l.freq + l.phase) +
                               0.25 * Peaks(x * l.freq * 2.3 + l.phase * 3) +
                               0.1 * std::sin(x * l.freq * 9));
    };
    const Color color = Hex(l.color);
    Below(c, l.base - l.amp - 0.01, ridge, [&](double x, double y) {
      return Mix(color, haze, std::clamp((y - ridge(x)) / 0.5, 0.0, 1.0) * 0.35);
    });
    if (i < 2) {
      const double snow_line = l.base - l.amp * 0.72;
      c.Paint(
          0, l.base - l.amp - 0.01, w, snow_line,
          [&](double x, double y) { return y >= ridge(x) && y < snow_line; }, Plain(0xF3F6FA),
          0.92);
    }
  }
}

void DrawLighthouse(Canvas& c) {
  const double w = c.aspect();
  const double cx = w / 2;
  c.Fill(Vertical({{0, 0x3D6E9E}, {0.55, 0xA9CCE3}, {0.7, 0xE7F1F5}}));
  Box(c, 0, 0.7, w, 1, Vertical({{0.7, 0x3A7C9A}, {1, 0x173F59}}));
  c.Paint(
      0, 0.7, w, 1,
      [](double x, double y) { return std::fmod(y * 60 + std::sin(x * 40) * 0.3, 1.0) < 0.08; },
      Plain(0xDDEFF5), 0.25);
  const double beam_y = 0.25;
  Triangle(c, cx, beam_y, -0.1, 0.1, -0.1, 0.3, Plain(0xFFF6D0), 0.22);
  Triangle(c, cx, beam_y, w + 0.1, 0.12, w + 0.1, 0.34, Plain(0xFFF6D0), 0.22);
  Below(
      c, 0.7, [&](double x) { return 0.74 + 0.9 * (x - cx) * (x - cx); },
      Vertical({{0.74, 0x4A4340}, {1, 0x2A2624}}));
  const double top = 0.3;
  const double bottom = 0.77;
  auto half_width = [&](double y) { return 0.045 + 0.025 * (y - top) / (bottom - top); };
  c.Paint(
      cx - 0.08, top, cx + 0.08, bottom,
      [&](double x, double y) { return std::abs(x - cx) <= half_width(y); },
      [&](double x, double y) {
        const bool red = static_cast<int>((y - top) / 0.09) % 2 == 0;
        const Color base = red ? Hex(0xC0392B) : Hex(0xF3F1EC);
        return Mix(base, Hex(0x1E1E1E), 0.25 * std::clamp((x - cx) / half_width(y), 0.0, 1.0));
      });
  Box(c, cx - 0.065, 0.285, cx + 0.065, top, Plain(0x2B2B2B));
  Box(c, cx - 0.035, 0.22, cx + 0.035, 0.285, Plain(0xFFE9A8));
  c.Glow(cx, beam_y, 0.08, Hex(0xFFF3C4), 0.7);
  Triangle(c, cx - 0.05, 0.222, cx + 0.05, 0.222, cx, 0.17, Plain(0x8E2A20));
}

void DrawDunes(Canvas& c) {
  c.Fill(Vertical({{0, 0x5FA8D3}, {0.45, 0xF3E3C3}}));
  c.Glow(0.3, 0.2, 0.22, Hex(0xFFF4D6), 0.6);
  Disc(c, 0.3, 0.2, 0.05, 0xFFFAEC);
  struct Dune {
    double base, amp, freq, phase;
    std::uint32_t light, shadow;
  };
  const Dune dunes[] = {{0.5, 0.06, 2.2, 0.3, 0xEBC088, 0xC98E5A},
                        {0.66, 0.08, 1.6, 2.1, 0xE0A466, 0xB4743F},
                        {0.84, 0.1, 1.2, 4.0, 0xD38C4D, 0x9C5A2E}};
  for (const Dune& d : dunes) {
    auto crest = [&](double x) { return d.base - d.amp * std::sin(x * d.freq * kPi + d.phase); };
    Below(c, d.base - d.amp - 0.01, crest, [&](double x, double y) {
      // The side that falls away from the sun (the slope's sign) lies in shadow.
      const double slope = std::cos(x * d.freq * kPi + d.phase);
      const Color side = Mix(Hex(d.light), Hex(d.shadow), std::clamp(0.5 + 0.8 * slope, 0.0, 1.0));
      return Mix(side, Hex(d.shadow), std::clamp((y - crest(x)) * 1.5, 0.0, 0.4));
    });
  }
}

void DrawForest(Canvas& c) {
  const double w = c.aspect();
  c.Fill(Vertical({{0, 0xB9CAD6}, {0.55, 0xF1E4D3}}));
  c.Glow(w * 0.7, 0.35, 0.25, Hex(0xFFF1DC), 0.6);
  const std::uint32_t colors[] = {0xAAB8BF, 0x7F939B, 0x4F6A6B, 0x24393A};
  Sequence random(7);
  for (int layer = 0; layer < 4; ++layer) {
    const double ground = 0.55 + 0.13 * layer;
    const double tree_height = 0.16 + 0.07 * layer;
    const Shade shade = Plain(colors[layer]);
    Box(c, 0, ground, w, 1, shade);
    for (double x = -0.05; x < w + 0.05; x += 0.05 + 0.03 * layer) {
      const double cx = x + 0.03 * random.Next();
      const double h = tree_height * (0.75 + 0.5 * random.Next());
      const double top = ground - h;
      const double half = h * 0.22;
      c.Paint(
          cx - half, top, cx + half, ground + 0.01,
          [=](double px, double py) {
            if (py < top) return false;
            const double t = (py - top) / h;
            // Tiers of branches: each widens, then steps back in.
            const double tier = 0.7 + 0.3 * (std::fmod(t * 5, 1.0));
            return std::abs(px - cx) <= half * t * tier;
          },
          shade);
    }
    if (layer < 3) Box(c, 0, ground - 0.08, w, ground + 0.04, Plain(0xF1E9DE), 0.25);
  }
}

void DrawNightSky(Canvas& c) {
  const double w = c.aspect();
  c.Fill(Vertical({{0, 0x070B1F}, {0.7, 0x1D2C5A}, {0.85, 0x3B3F6E}}));
  for (int i = 0; i < 6; ++i) c.Glow(0.2 + 0.22 * i, 0.65 - 0.1 * i, 0.12, Hex(0x5A6AA0), 0.18);
  Sequence random(2024);
  for (int i = 0; i < 170; ++i) {
    const double x = random.Next() * w;
    const double y = random.Next() * 0.78;
    const double r = 0.0012 + 0.0028 * random.Next() * random.Next();
    Disc(c, x, y, r * 2.2, 0xBFCBFF, 0.18);
    Disc(c, x, y, r, 0xFFFFFF, 0.9);
  }
  c.Glow(1.15, 0.22, 0.16, Hex(0xC9D3FF), 0.25);
  c.Paint(
      1.07, 0.14, 1.23, 0.3,
      [](double x, double y) {
        return Circle(1.15, 0.22, 0.07)(x, y) && !Circle(1.18, 0.2, 0.064)(x, y);
      },
      Plain(0xF6F1D5));
  auto hills = [](double x) { return 0.8 + 0.05 * std::sin(x * 4) + 0.02 * std::sin(x * 11); };
  Below(c, 0.72, hills, Plain(0x0B0F1C));
  const double house_x = 0.45;
  const double ground = hills(house_x) + 0.01;
  Box(c, house_x - 0.04, ground - 0.05, house_x + 0.04, ground, Plain(0x0B0F1C));
  Triangle(c, house_x - 0.05, ground - 0.05, house_x + 0.05, ground - 0.05, house_x, ground - 0.09,
           Plain(0x0B0F1C));
  Box(c, house_x - 0.012, ground - 0.035, house_x + 0.01, ground - 0.015, Plain(0xFFCF6E));
  c.Glow(house_x, ground - 0.025, 0.03, Hex(0xFFCF6E), 0.25);
}

void DrawSailingBoat(Canvas& c) {
  const double w = c.aspect();
  const double horizon = 0.62;
  c.Fill(Vertical({{0, 0x4A90C8}, {horizon, 0xCFE6F3}}));
  for (auto [x, y, s] : {std::tuple{0.3, 0.18, 1.0}, {0.9, 0.1, 0.7}, {1.3, 0.25, 0.85}}) {
    for (auto [dx, dy, r] : {std::tuple{-0.07, 0.01, 0.045},
                             {0.0, -0.02, 0.06},
                             {0.07, 0.0, 0.05},
                             {0.02, 0.02, 0.045}}) {
      Disc(c, x + dx * s, y + dy * s, r * s, 0xFFFFFF, 0.85);
    }
  }
  Box(c, 0, horizon, w, 1, Vertical({{horizon, 0x2A7FA8}, {1, 0x0F4C6E}}));
  c.Paint(
      0, horizon, w, 1,
      [](double x, double y) { return std::fmod(y * 70 + std::sin(x * 25) * 0.4, 1.0) < 0.07; },
      Plain(0xD5ECF5), 0.3);
  const double boat = 0.95;
  Box(c, boat - 0.004, 0.33, boat + 0.003, 0.6, Plain(0x5A4636));
  Triangle(c, boat + 0.006, 0.34, boat + 0.006, 0.59, boat + 0.13, 0.59, Plain(0xF7F4EA));
  Triangle(c, boat - 0.008, 0.37, boat - 0.008, 0.59, boat - 0.1, 0.59, Plain(0xEFE8D6));
  c.Paint(
      boat - 0.14, 0.6, boat + 0.16, 0.645,
      [&](double x, double y) {
        const double t = (y - 0.6) / 0.045;
        return x >= boat - 0.14 + 0.04 * t && x <= boat + 0.16 - 0.06 * t;
      },
      Plain(0x7A3E2B));
  c.Paint(
      boat - 0.12, 0.645, boat + 0.12, 0.75,
      [&](double x, double y) {
        return std::abs(x - boat + 0.01 * std::sin(y * 200)) < 0.12 - (y - 0.645);
      },
      Plain(0x0B3550), 0.25);
}

void DrawFlowers(Canvas& c) {
  const double w = c.aspect();
  c.Fill(Vertical({{0, 0xD7E8B8}, {1, 0x557F41}}));
  Sequence random(11);
  for (int i = 0; i < 9; ++i) {
    c.Glow(random.Next() * w, random.Next() * 0.6, 0.04 + 0.05 * random.Next(), Hex(0xFFFBE6),
           0.35);
  }
  struct Flower {
    double x, y, size;
    int petals;
    std::uint32_t petal, heart;
  };
  const Flower flowers[] = {
      {0.18, 0.38, 0.07, 8, 0xE84A5F, 0xF4C430},  {0.5, 0.28, 0.09, 6, 0xF6F0E8, 0xF2B01E},
      {0.36, 0.56, 0.06, 7, 0xB56FD6, 0xFFE08A},  {0.56, 0.62, 0.08, 8, 0xFFD166, 0x6B3E1E},
      {0.12, 0.72, 0.065, 6, 0xF7A072, 0xFFF2C2}, {0.42, 0.84, 0.07, 7, 0xE84A5F, 0xF4C430}};
  for (const Flower& f : flowers) {
    c.Paint(
        f.x - 0.03, f.y, f.x + 0.03, 1,
        [&](double x, double y) {
          return std::abs(x - (f.x + 0.015 * std::sin((y - f.y) * 9))) < 0.005;
        },
        Plain(0x3F6B2F));
  }
  for (const Flower& f : flowers) {
    for (int k = 0; k < f.petals; ++k) {
      const double angle = 2 * kPi * k / f.petals;
      Disc(c, f.x + std::cos(angle) * f.size * 0.6, f.y + std::sin(angle) * f.size * 0.6,
           f.size * 0.42, f.petal, 0.95);
    }
    Disc(c, f.x, f.y, f.size * 0.35, f.heart);
  }
}

struct ExamplePhoto {
  const char* file_name;  // UTF-8, as on disk
  bool landscape;
  void (*draw)(Canvas&);
};

// Mixed letter case and an umlaut on purpose: the album shows how names are lowered.
constexpr ExamplePhoto kPhotos[] = {
    {"Strand.jpg", true, DrawBeach},           {"Berge.JPG", true, DrawMountains},
    {"Leuchtturm.jpg", false, DrawLighthouse}, {"Dünen.jpg", true, DrawDunes},
    {"Wald.jpg", false, DrawForest},           {"Nachthimmel.jpg", true, DrawNightSky},
    {"Segelboot.jpg", true, DrawSailingBoat},  {"Blumen.jpg", false, DrawFlowers},
};

}  // namespace

bool WriteExamplePhotos(const std::string& folder) {
  for (const ExamplePhoto& photo : kPhotos) {
    const int width = photo.landscape ? kLong : kShort;
    const int height = photo.landscape ? kShort : kLong;
    Canvas canvas(width, height);
    photo.draw(canvas);
    if (!WriteJpeg(folder + photo.file_name, canvas.ToRgb8(), width, height, kQuality)) {
      return false;
    }
  }
  return true;
}

}  // namespace albumora
