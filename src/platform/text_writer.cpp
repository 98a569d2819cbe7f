#include "platform/text_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "platform/files.h"

namespace albumora {

TextWriter::~TextWriter() {
  if (file_) Flush();
}

TextWriter& TextWriter::operator=(TextWriter&& other) noexcept {
  if (this != &other) {
    if (file_) Flush();
    file_ = std::move(other.file_);
    buffer_ = std::move(other.buffer_);
    other.buffer_.clear();
    failed_ = other.failed_;
  }
  return *this;
}

bool TextWriter::Open(std::string_view path) {
  if (file_) Close();
  buffer_.clear();
  failed_ = false;
  // Opened without blocking, so that a FIFO planted under a page's name cannot hang the run: with
  // no reader the open fails at once, with one it is refused below. Pages go to files (or, in
  // tests, to a device such as /dev/full).
  const int fd =
      ::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode) ||
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return false;
  }
  file_.reset(::fdopen(fd, "wb"));
  if (!file_) {
    ::close(fd);
    return false;
  }
  // Our own buffer is the only one, so that every failed write shows in fwrite's result.
  std::setvbuf(file_.get(), nullptr, _IONBF, 0);
  buffer_.reserve(kBufferSize);
  return true;
}

void TextWriter::WriteLine(std::string_view line) {
  Write(line);
  Write("\r\n");
}

void TextWriter::Write(std::string_view bytes) {
  if (!file_) {
    failed_ = true;
    return;
  }
  if (buffer_.size() + bytes.size() > kBufferSize) Flush();
  if (bytes.size() >= kBufferSize) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size()) failed_ = true;
    return;
  }
  buffer_.append(bytes);
}

void TextWriter::Flush() {
  if (buffer_.empty()) return;
  if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_.get()) != buffer_.size()) {
    failed_ = true;
  }
  buffer_.clear();
}

bool TextWriter::Close() {
  if (!file_) return false;
  Flush();
  if (std::fclose(file_.release()) != 0) failed_ = true;
  return !failed_;
}

}  // namespace albumora
