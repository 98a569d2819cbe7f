// Times the conversion of photos as a gallery run does it, against decoding alone.
//
//   imaging_bench [folder of JPEGs] [--rounds N]
//
// Without a folder it makes a 12- and a 24-megapixel test photo in a temporary folder, each also
// tagged with a Display P3 profile. Per photo and round it times decoding alone, then the full
// conversion (decode, copy, scale to 1024, convert to sRGB and save at step 7, scale to 150,
// convert and save at step 7), all with one workspace as a run keeps it, and prints the medians,
// the ratio full / decode, the colour conversion's share of the full conversion and the peak
// memory (ru_maxrss) against the size of one decoded picture. Photos run smallest first, so each
// peak belongs to the photos so far.
#include <lcms2.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/colour_profile.h"
#include "imaging/jpeg_library.h"
#include "imaging/raster_image.h"

namespace albumora {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kBigSide = 1024;
constexpr int kSmallSide = 150;
constexpr int kQualityStep = 7;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Processor time of this thread: less disturbed than wall time when the machine is shared.
double CpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A Display P3 profile as phones embed it: P3 primaries, D65, the sRGB curve.
std::string DisplayP3Profile() {
  const cmsCIExyY white = {0.3127, 0.3290, 1};
  const cmsCIExyYTRIPLE primaries = {{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}};
  const double srgb_curve[] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
  cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgb_curve);
  cmsToneCurve* curves[] = {curve, curve, curve};
  cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
  cmsFreeToneCurve(curve);
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  std::string bytes(size, '\0');
  cmsSaveProfileToMem(profile, bytes.data(), &size);
  cmsCloseProfile(profile);
  return bytes;
}

// A photo-like picture written row by row (no full-size buffer, so the peak memory stays the
// conversion's): soft gradients and shapes with sensor-like noise, quality 92, 4:2:0; with the
// colour profile `icc` when it is not empty.
bool WriteTestPhoto(const std::string& path, int width, int height, const std::string& icc) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 92, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  if (!icc.empty()) {
    jpeg_write_icc_profile(&cinfo, reinterpret_cast<const JOCTET*>(icc.data()),
                           static_cast<unsigned>(icc.size()));
  }
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
  std::uint32_t noise = 2463534242u;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise ^= noise << 13;
      noise ^= noise >> 17;
      noise ^= noise << 5;
      const double fx = static_cast<double>(x) / width;
      const double fy = static_cast<double>(y) / height;
      const double wave = std::sin(fx * 40.0 + std::sin(fy * 13.0) * 3.0);
      const double base[3] = {120 + 90 * fy + 30 * wave, 110 + 60 * std::cos(fx * 9.0) + 20 * wave,
                              90 + 100 * fx * fy};
      for (int c = 0; c < 3; ++c) {
        const int jitter = static_cast<int>((noise >> (8 * c)) & 15) - 8;
        row[static_cast<std::size_t>(x) * 3 + c] =
            static_cast<JSAMPLE>(std::clamp(static_cast<int>(base[c]) + jitter, 0, 255));
      }
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return std::fclose(file) == 0;
}

struct Phases {
  std::vector<double> decode_alone, decode, copy, scale_big, save_big, scale_small, save_small,
      full, cpu_decode_alone, cpu_full, colour;
};

int Run(int argc, char** argv) {
  std::string folder;
  int rounds = 5;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--rounds" && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else {
      folder = arg;
    }
  }
  const fs::path work = fs::temp_directory_path() / ("albumora-bench-" + std::to_string(getpid()));
  fs::create_directories(work);
  std::vector<std::string> photos;
  if (folder.empty()) {
    std::printf("making test photos in %s\n", work.c_str());
    const std::string p3 = DisplayP3Profile();
    const struct {
      const char* name;
      int width, height;
      bool tagged;
    } made[] = {{"photo_12mp.jpg", 4000, 3000, false},
                {"photo_12mp_p3.jpg", 4000, 3000, true},
                {"photo_24mp.jpg", 6000, 4000, false},
                {"photo_24mp_p3.jpg", 6000, 4000, true}};
    for (const auto& m : made) {
      const std::string path = (work / m.name).string();
      if (!WriteTestPhoto(path, m.width, m.height, m.tagged ? p3 : std::string())) return 1;
      photos.push_back(path);
    }
  } else {
    for (const auto& entry : fs::directory_iterator(folder)) {
      std::string ext = entry.path().extension().string();
      std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
      if (entry.is_regular_file() && (ext == ".jpg" || ext == ".jpeg")) {
        photos.push_back(entry.path().string());
      }
    }
  }

  ImagingWorkspace workspace;
  // Smallest file first: the peak memory printed after each photo then belongs to the photos so
  // far, of which the current one is (nearly always) the largest.
  std::sort(photos.begin(), photos.end(), [](const std::string& a, const std::string& b) {
    return fs::file_size(a) < fs::file_size(b);
  });

  const std::string big_path = (work / "g_out.jpg").string();
  const std::string small_path = (work / "k_out.jpg").string();
  std::printf("%-24s %5s %8s | %7s %6s %5s %7s %6s %7s %6s %6s %7s | %5s %5s %6s | %7s %5s\n",
              "photo", "MP", "file KB", "decode", "dec.", "copy", "scale-g", "save-g", "scale-k",
              "save-k", "colour", "full", "ratio", "cpu", "col %", "peak MB", "x pic");
  double sum_ratio = 0;
  double sum_cpu_ratio = 0;
  for (const std::string& path : photos) {
    Phases p;
    int width = 0;
    int height = 0;
    for (int round = 0; round < rounds; ++round) {
      {
        RasterImage image;
        const double c0 = CpuMilliseconds();
        const auto t0 = Clock::now();
        LoadRasterImage(path, &image, nullptr, &workspace);
        p.decode_alone.push_back(Milliseconds(Clock::now() - t0));
        p.cpu_decode_alone.push_back(CpuMilliseconds() - c0);
      }
      const double c0 = CpuMilliseconds();
      const auto t0 = Clock::now();
      RasterImage a;
      if (!LoadRasterImage(path, &a, nullptr, &workspace)) break;
      const auto t1 = Clock::now();
      RasterImage b = a;
      width = a.width();
      height = a.height();
      const auto t2 = Clock::now();
      const PictureSize big = FitLongSide(width, height, kBigSide);
      ScaleRasterImage(b, big.width, big.height, &workspace);
      const auto t_big_colour = Clock::now();
      ConvertToSrgb(b);
      const auto t3 = Clock::now();
      SaveRasterImageAsJpeg(b, big_path, kQualityStep);
      const auto t4 = Clock::now();
      const PictureSize small = FitLongSide(width, height, kSmallSide);
      ScaleRasterImage(a, small.width, small.height, &workspace);
      const auto t_small_colour = Clock::now();
      ConvertToSrgb(a);
      const auto t5 = Clock::now();
      SaveRasterImageAsJpeg(a, small_path, kQualityStep);
      a.Release();
      const auto t6 = Clock::now();
      p.cpu_full.push_back(CpuMilliseconds() - c0);
      p.decode.push_back(Milliseconds(t1 - t0));
      p.copy.push_back(Milliseconds(t2 - t1));
      p.colour.push_back(Milliseconds((t3 - t_big_colour) + (t5 - t_small_colour)));
      p.scale_big.push_back(Milliseconds(t_big_colour - t2));
      p.save_big.push_back(Milliseconds(t4 - t3));
      p.scale_small.push_back(Milliseconds(t_small_colour - t4));
      p.save_small.push_back(Milliseconds(t6 - t5));
      p.full.push_back(Milliseconds(t6 - t0));
    }
    if (p.full.empty()) {
      std::printf("skipped (cannot be read): %s\n", path.c_str());
      continue;
    }
    const double ratio = Median(p.full) / Median(p.decode_alone);
    const double cpu_ratio = Median(p.cpu_full) / Median(p.cpu_decode_alone);
    sum_cpu_ratio += cpu_ratio;
    sum_ratio += ratio;
    const double picture_mb = static_cast<double>(width) * height * 3 / (1024.0 * 1024.0);
    const double peak_mb = PeakKilobytes() / 1024.0;
    std::printf(
        "%-24s %5.1f %8lld | %7.1f %6.1f %5.2f %7.1f %6.1f %7.1f %6.1f %6.2f %7.1f | %5.2f %5.2f "
        "%6.2f | %7.1f %5.2f\n",
        fs::path(path).filename().c_str(), width * static_cast<double>(height) / 1e6,
        static_cast<long long>(fs::file_size(path) / 1024), Median(p.decode_alone),
        Median(p.decode), Median(p.copy), Median(p.scale_big), Median(p.save_big),
        Median(p.scale_small), Median(p.save_small), Median(p.colour), Median(p.full), ratio,
        cpu_ratio, 100 * Median(p.colour) / Median(p.full), peak_mb, peak_mb / picture_mb);
  }
  if (!photos.empty()) {
    const auto count = static_cast<double>(photos.size());
    std::printf(
        "times in ms, wall clock (median of %d rounds); ratio = full / decode alone, mean %.2f;\n"
        "cpu = the same ratio in processor time of the thread, mean %.2f\n",
        rounds, sum_ratio / count, sum_cpu_ratio / count);
    std::printf(
        "colour = both copies' conversion to sRGB, col %% = colour / full (wall clock: the\n"
        "thread's processor time is too coarse for a step of a few ms);\n"
        "peak = ru_maxrss so far; x pic = peak / one decoded picture\n");
  }
  std::error_code ignored;
  fs::remove_all(work, ignored);
  return 0;
}

}  // namespace
}  // namespace albumora

int main(int argc, char** argv) { return albumora::Run(argc, argv); }
