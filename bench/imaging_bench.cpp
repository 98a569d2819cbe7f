// Times the conversion of photos as a gallery run does it, against the floor of the job.
//
//   imaging_bench [folder of JPEGs] [--rounds N] [--stream-only]
//   imaging_bench --make FOLDER      only writes the test photos into FOLDER
//
// Without a folder it makes test photos in a temporary folder: 12 and 24 megapixels, 24 stored
// sideways with orientation 6 and 8, a progressive one, and one tagged with a Display P3
// profile. Per photo and round it times
//   floor:  reading and decoding the file (no picture kept) and saving the two copies, made
//           beforehand (no resampling at all),
//   stream: the conversion a run does (ConvertPhotoFile, both copies saved),
//   frame:  the whole-picture way (load, copy, scale each copy, save both),
// all with one workspace as a run keeps it, copies of 1024 and 150 pixels saved at step 7. It
// prints the medians, stream and frame as ratios of the floor, per photo and for the whole set,
// in wall and in thread processor time (less disturbed on a shared machine). The stream ratio is
// the median of each round's ratio, as floor and stream of a round run back to back. Floor and
// stream run first over every photo, the frame way after: the peak memory (ru_maxrss) printed after
// each pass is that pass's, given as the growth over the resting size before the first photo
// and as a multiple of one decoded picture of the largest photo. For every photo with a colour
// profile it also times the conversion of both copies to sRGB and gives its share of the stream
// conversion.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "imaging/colour_profile.h"
#include "imaging/imaging_internal.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_library.h"
#include "imaging/photo_copies.h"
#include "imaging/raster_image.h"
#include "support/icc_profiles.h"

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

double CpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double ResidentMegabytes() {
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  unsigned long size = 0;
  unsigned long resident = 0;
  const int read = std::fscanf(statm, "%lu %lu", &size, &resident);
  std::fclose(statm);
  return read == 2 ? static_cast<double>(resident) * sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0) : 0;
}

std::string ExifOrientationSegment(int orientation) {
  // "Exif\0\0", little-endian TIFF header, one directory with the orientation tag only.
  std::string exif("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 22);
  exif += static_cast<char>(orientation);
  exif += std::string(7, '\0');
  return exif;
}

struct TestPhoto {
  const char* name;
  int width, height;
  int orientation;
  bool progressive;
  bool p3;  // tagged with a Display P3 profile
};

// A photo-like picture written row by row (no full-size buffer, so the peak memory stays the
// conversion's): soft gradients and shapes with sensor-like noise, quality 92, 4:2:0; with the
// colour profile `icc` when the photo is tagged.
bool WriteTestPhoto(const std::string& path, const TestPhoto& photo, const std::string& icc) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  const int width = photo.width;
  const int height = photo.height;
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 92, TRUE);
  if (photo.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  if (photo.orientation != 0) {
    const std::string exif = ExifOrientationSegment(photo.orientation);
    jpeg_write_marker(&cinfo, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(exif.data()),
                      static_cast<unsigned>(exif.size()));
  }
  if (photo.p3) {
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

// Decoding with the conversion's parameters, rows dropped as they come.
class DropRows : public JpegRowConsumer {
 public:
  bool Start(const JpegLayout&) override { return true; }
  void TakeRows(const std::uint8_t*, std::size_t, int) override {}
};

// Reads the header only, for the colour profile the copies are converted through (CMYK photos
// are converted while they are decoded and count as none).
class ReadProfile : public JpegRowConsumer {
 public:
  bool Start(const JpegLayout& layout) override {
    if (!layout.cmyk) profile = layout.colour_profile;
    return false;
  }
  void TakeRows(const std::uint8_t*, std::size_t, int) override {}
  std::shared_ptr<const ColourProfile> profile;
};

std::shared_ptr<const ColourProfile> EmbeddedProfile(const std::string& path,
                                                     ImagingWorkspace* workspace) {
  std::string* bytes = WorkspaceAccess::FileBytes(*workspace);
  ReadProfile reader;
  if (imaging_internal::ReadPhotoFile(path, bytes, nullptr)) {
    StreamJpeg(*bytes, workspace->max_pixel_count(), &reader, nullptr, workspace);
  }
  bytes->clear();
  return reader.profile;
}

struct Times {
  std::vector<double> wall, cpu;
};

template <typename Work>
void Time(Times* times, Work work) {
  const double c0 = CpuMilliseconds();
  const auto t0 = Clock::now();
  work();
  times->wall.push_back(Milliseconds(Clock::now() - t0));
  times->cpu.push_back(CpuMilliseconds() - c0);
}

struct Outputs {
  std::string big, small;
};

void FloorOnce(const std::string& path, const PhotoCopies& made, const Outputs& out,
               ImagingWorkspace* workspace) {
  std::string* bytes = WorkspaceAccess::FileBytes(*workspace);
  if (imaging_internal::ReadPhotoFile(path, bytes, nullptr)) {
    DropRows drop;
    StreamJpeg(*bytes, workspace->max_pixel_count(), &drop, nullptr, workspace);
  }
  bytes->clear();
  SaveRasterImageAsJpeg(made.big, out.big, kQualityStep);
  SaveRasterImageAsJpeg(made.small, out.small, kQualityStep);
}

void StreamOnce(const std::string& path, const Outputs& out, ImagingWorkspace* workspace) {
  PhotoCopies copies;
  if (!ConvertPhotoFile(path, kBigSide, kSmallSide, &copies, nullptr, workspace)) return;
  SaveRasterImageAsJpeg(copies.big, out.big, kQualityStep);
  copies.big.Release();
  SaveRasterImageAsJpeg(copies.small, out.small, kQualityStep);
}

void FrameOnce(const std::string& path, const Outputs& out, ImagingWorkspace* workspace) {
  RasterImage photo;
  if (!LoadRasterImage(path, &photo, nullptr, workspace)) return;
  RasterImage big = photo;
  const PictureSize big_size = FitLongSide(photo.width(), photo.height(), kBigSide);
  ScaleRasterImage(big, big_size.width, big_size.height, workspace);
  SaveRasterImageAsJpeg(big, out.big, kQualityStep);
  big.Release();
  const PictureSize small_size = FitLongSide(photo.width(), photo.height(), kSmallSide);
  ScaleRasterImage(photo, small_size.width, small_size.height, workspace);
  SaveRasterImageAsJpeg(photo, out.small, kQualityStep);
}

// A copy of its own (not sharing pixels), carrying `profile`.
RasterImage TaggedCopy(const RasterImage& copy, std::shared_ptr<const ColourProfile> profile) {
  RasterImage own = copy;
  if (own.height() > 0) own.mutable_row(0);  // detaches before the timing
  own.set_colour_profile(std::move(profile));
  return own;
}

struct PhotoResult {
  std::string name;
  PictureSize size;
  Times floor, stream, frame, colour;
};

// The median over the rounds of each round's ratio: the floor and the stream conversion of a
// round run one right after the other, so a machine that is slower for a while slows both.
double MedianRatio(const std::vector<double>& times, const std::vector<double>& floors) {
  std::vector<double> ratios;
  for (std::size_t i = 0; i < times.size() && i < floors.size(); ++i) {
    ratios.push_back(times[i] / floors[i]);
  }
  return ratios.empty() ? 0 : Median(ratios);
}

void PrintRow(const PhotoResult& r) {
  const double floor = Median(r.floor.wall);
  const double stream = Median(r.stream.wall);
  std::printf("%-22s %5.1f | %7.1f %7.1f", r.name.c_str(),
              r.size.width * static_cast<double>(r.size.height) / 1e6, floor, stream);
  const double stream_ratio = MedianRatio(r.stream.wall, r.floor.wall);
  const double stream_cpu = MedianRatio(r.stream.cpu, r.floor.cpu);
  if (r.frame.wall.empty()) {
    std::printf(" %7s | %5.2f %5s | %5.2f %5s\n", "-", stream_ratio, "-", stream_cpu, "-");
  } else {
    const double cpu_floor = Median(r.floor.cpu);
    std::printf(" %7.1f | %5.2f %5.2f | %5.2f %5.2f\n", Median(r.frame.wall), stream_ratio,
                Median(r.frame.wall) / floor, stream_cpu, Median(r.frame.cpu) / cpu_floor);
  }
}

// The stream conversion of the whole set over its floor, per round, for MedianRatio.
Times RoundTotals(const std::vector<PhotoResult>& results, Times PhotoResult::*times) {
  Times totals;
  for (const PhotoResult& r : results) {
    const Times& t = r.*times;
    if (totals.wall.size() < t.wall.size()) {
      totals.wall.resize(t.wall.size());
      totals.cpu.resize(t.cpu.size());
    }
    for (std::size_t i = 0; i < t.wall.size(); ++i) {
      totals.wall[i] += t.wall[i];
      totals.cpu[i] += t.cpu[i];
    }
  }
  return totals;
}

std::vector<std::string> FolderPhotos(const std::string& folder) {
  std::vector<std::string> photos;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
    if (entry.is_regular_file() && (ext == ".jpg" || ext == ".jpeg")) {
      photos.push_back(entry.path().string());
    }
  }
  return photos;
}

int Run(int argc, char** argv) {
  std::string folder;
  int rounds = 5;
  bool stream_only = false;
  std::string make_folder;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--make" && i + 1 < argc) {
      make_folder = argv[++i];
    } else if (arg == "--rounds" && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--stream-only") {
      stream_only = true;
    } else if (arg.starts_with("-") || !folder.empty() || !fs::is_directory(arg)) {
      std::fprintf(stderr,
                   "usage: imaging_bench [folder of JPEGs] [--rounds N] [--stream-only]\n"
                   "       imaging_bench --make FOLDER\n");
      return 2;
    } else {
      folder = arg;
    }
  }
  const fs::path work = make_folder.empty() ? fs::temp_directory_path() /
                                                  ("albumora-bench-" + std::to_string(getpid()))
                                            : fs::path(make_folder);
  fs::create_directories(work);
  std::vector<std::string> photos;
  if (folder.empty()) {
    std::printf("making test photos in %s\n", work.c_str());
    const std::string p3 = testing::DisplayP3Profile();
    const TestPhoto made[] = {{"12mp.jpg", 4000, 3000, 0, false, false},
                              {"24mp.jpg", 6000, 4000, 0, false, false},
                              {"24mp_orientation6.jpg", 6000, 4000, 6, false, false},
                              {"24mp_orientation8.jpg", 6000, 4000, 8, false, false},
                              {"24mp_progressive.jpg", 6000, 4000, 0, true, false},
                              {"24mp_p3.jpg", 6000, 4000, 0, false, true}};
    for (const TestPhoto& m : made) {
      const std::string path = (work / m.name).string();
      if (!WriteTestPhoto(path, m, p3)) return 1;
      photos.push_back(path);
    }
    if (!make_folder.empty()) return 0;
  } else {
    photos = FolderPhotos(folder);
  }

  const Outputs out{(work / "g_out.jpg").string(), (work / "k_out.jpg").string()};
  ImagingWorkspace workspace;
  const double resting = ResidentMegabytes();
  std::vector<PhotoResult> results;
  double largest_picture_mb = 0;
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t i = 0; i < photos.size(); ++i) {
      PhotoCopies made;
      if (!ConvertPhotoFile(photos[i], kBigSide, kSmallSide, &made, nullptr, &workspace)) continue;
      if (results.size() <= i) results.resize(i + 1);
      PhotoResult& r = results[i];
      r.name = fs::path(photos[i]).filename().string();
      r.size = made.full;
      largest_picture_mb =
          std::max(largest_picture_mb, r.size.width * 3.0 * r.size.height / (1024.0 * 1024.0));
      Time(&r.floor, [&] { FloorOnce(photos[i], made, out, &workspace); });
      if (const auto profile = EmbeddedProfile(photos[i], &workspace)) {
        RasterImage big = TaggedCopy(made.big, profile);
        RasterImage small = TaggedCopy(made.small, profile);
        Time(&r.colour, [&] {
          ConvertToSrgb(big);
          ConvertToSrgb(small);
        });
      }
      made = PhotoCopies{};
      Time(&r.stream, [&] { StreamOnce(photos[i], out, &workspace); });
    }
  }
  const double stream_peak = PeakMegabytes();
  if (!stream_only) {
    for (int round = 0; round < rounds; ++round) {
      for (std::size_t i = 0; i < results.size(); ++i) {
        if (results[i].floor.wall.empty()) continue;
        Time(&results[i].frame, [&] { FrameOnce(photos[i], out, &workspace); });
      }
    }
  }
  const double frame_peak = PeakMegabytes();

  std::printf("%-22s %5s | %7s %7s %7s | %5s %5s | %5s %5s\n", "photo", "MP", "floor", "stream",
              "frame", "str/f", "frm/f", "cpu s", "cpu f");
  double sums[6] = {};
  for (const PhotoResult& r : results) {
    if (r.floor.wall.empty()) continue;
    PrintRow(r);
    sums[0] += Median(r.floor.wall);
    sums[1] += Median(r.stream.wall);
    sums[2] += r.frame.wall.empty() ? 0 : Median(r.frame.wall);
    sums[3] += Median(r.floor.cpu);
    sums[4] += Median(r.stream.cpu);
    sums[5] += r.frame.cpu.empty() ? 0 : Median(r.frame.cpu);
  }
  if (sums[0] > 0) {
    const Times floors = RoundTotals(results, &PhotoResult::floor);
    const Times streams = RoundTotals(results, &PhotoResult::stream);
    std::printf("whole set: stream %.2f x floor (cpu %.2f), frame %.2f x floor (cpu %.2f)\n",
                MedianRatio(streams.wall, floors.wall), MedianRatio(streams.cpu, floors.cpu),
                sums[2] / sums[0], sums[5] / sums[3]);
    std::printf(
        "times in ms, wall clock, median of %d rounds; str/f = median of each round's stream /"
        " floor, frm/f = frame / floor (medians); cpu = the same in thread processor time\n",
        rounds);
    std::printf("memory: resting %.1f MB; peak growth stream %.1f MB (%.2f x one %.1f MB picture)",
                resting, stream_peak - resting, (stream_peak - resting) / largest_picture_mb,
                largest_picture_mb);
    if (!stream_only) {
      std::printf(", frame %.1f MB (%.2f x)", frame_peak - resting,
                  (frame_peak - resting) / largest_picture_mb);
    }
    std::printf("; %d rounds over %zu photos per pass\n", rounds, results.size());
    for (const PhotoResult& r : results) {
      if (r.colour.wall.empty()) continue;
      std::printf("colour to sRGB, both copies of %s: %.2f ms, %.2f %% of its stream conversion\n",
                  r.name.c_str(), Median(r.colour.wall),
                  100 * Median(r.colour.wall) / Median(r.stream.wall));
    }
  }
  std::error_code ignored;
  fs::remove_all(work, ignored);
  return 0;
}

}  // namespace
}  // namespace albumora

int main(int argc, char** argv) { return albumora::Run(argc, argv); }
