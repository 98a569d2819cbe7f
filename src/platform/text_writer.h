// Buffered writer for 8-bit text files; every line ends in CR LF.
#ifndef ALBUMORA_PLATFORM_TEXT_WRITER_H_
#define ALBUMORA_PLATFORM_TEXT_WRITER_H_

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace albumora {

class TextWriter {
 public:
  static constexpr std::size_t kBufferSize = 4096;

  TextWriter() = default;
  TextWriter(TextWriter&&) noexcept = default;
  TextWriter& operator=(TextWriter&& other) noexcept;  // flushes and closes our own file first
  ~TextWriter();  // flushes and closes; errors are lost, call Close() to see them

  // Creates or truncates the file. False when it cannot be created.
  bool Open(std::string_view path);
  bool is_open() const { return file_ != nullptr; }

  void WriteLine(std::string_view line);  // the line, then CR LF
  void Write(std::string_view bytes);     // raw bytes, no terminator

  // Flushes and closes; false when any write failed.
  bool Close();

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  void Flush();

  std::unique_ptr<std::FILE, FileCloser> file_;
  std::string buffer_;
  bool failed_ = false;
};

}  // namespace albumora

#endif  // ALBUMORA_PLATFORM_TEXT_WRITER_H_
