#include "gallery/line_reader.h"

#include "platform/files.h"

namespace albumora {

bool LineReader::Open(std::string_view path, std::size_t chunk_size) {
  file_.reset();
  chunk_.clear();
  position_ = 0;
  skip_line_feed_ = false;
  chunk_size_ = chunk_size > 0 ? chunk_size : 1;
  if (!IsRegularFile(path)) return false;  // a pipe or device would never end
  file_.reset(std::fopen(NativePath(path).c_str(), "rb"));
  return file_ != nullptr;
}

bool LineReader::Fill() {
  if (!file_) return false;
  chunk_.resize(chunk_size_);
  const std::size_t got = std::fread(chunk_.data(), 1, chunk_size_, file_.get());
  chunk_.resize(got);
  position_ = 0;
  if (got == 0) file_.reset();
  return got > 0;
}

bool LineReader::ReadLine(std::string* line) {
  line->clear();
  bool any = false;  // whether a line has begun: data at the end without terminator is a line
  while (true) {
    if (position_ == chunk_.size() && !Fill()) return any;
    if (skip_line_feed_) {
      skip_line_feed_ = false;
      if (chunk_[position_] == '\n') ++position_;
      continue;
    }
    const std::size_t end = chunk_.find_first_of(std::string_view("\r\n\0", 3), position_);
    if (end == std::string::npos) {
      line->append(chunk_, position_);
      position_ = chunk_.size();
      any = true;
      continue;
    }
    line->append(chunk_, position_, end - position_);
    skip_line_feed_ = chunk_[end] == '\r';
    position_ = end + 1;
    return true;
  }
}

}  // namespace albumora
