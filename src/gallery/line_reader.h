// Reads a text file line by line without holding it whole, with the line ends of SplitTextLines.
#ifndef ALBUMORA_GALLERY_LINE_READER_H_
#define ALBUMORA_GALLERY_LINE_READER_H_

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace albumora {

class LineReader {
 public:
  // Opens a regular file; false when it cannot be read.
  bool Open(std::string_view path, std::size_t chunk_size = 64 * 1024);

  // The next line into `line` (terminator removed); false at the end of the file. A line ends at
  // CR LF, a lone LF, a lone CR or a NUL byte; a last line without terminator is still a line.
  bool ReadLine(std::string* line);

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  bool Fill();

  std::unique_ptr<std::FILE, FileCloser> file_;
  std::string chunk_;
  std::size_t position_ = 0;
  std::size_t chunk_size_ = 0;
  bool skip_line_feed_ = false;  // the last line ended with CR; an LF right after belongs to it
};

}  // namespace albumora

#endif  // ALBUMORA_GALLERY_LINE_READER_H_
