// What the commands need of the desktop beyond the controls: requesters, starting programs and
// opening documents, and the program's own windows. The window provides the real ones; tests
// answer them without opening anything.
#ifndef ALBUMORA_UI_SERVICES_H_
#define ALBUMORA_UI_SERVICES_H_

#include <string>
#include <string_view>

namespace albumora {

class Requesters {
 public:
  virtual ~Requesters() = default;

  // A modal folder requester opened at `start_folder`. Returns the chosen folder (not yet
  // normalised), or an empty text when it was cancelled.
  virtual std::string ChooseFolder(std::string_view title, std::string_view start_folder) = 0;

  // A modal open-file requester opened in `start_folder`. `filter` is a sequence of description
  // and pattern pairs separated by '|'; the first pair is selected. Returns the chosen file's
  // full path, or an empty text when it was cancelled.
  virtual std::string ChooseFile(std::string_view title, std::string_view start_folder,
                                 std::string_view filter) = 0;
};

class Launcher {
 public:
  virtual ~Launcher() = default;

  // Starts `name` as a program without arguments and without waiting. A name without a folder
  // is looked for in the program's own folder, the current folder, then the search path.
  virtual bool StartProgram(std::string_view name) = 0;

  // Hands a document path or a web address to the desktop's default handler. False when the
  // document does not exist or no handler took it.
  virtual bool OpenDocument(std::string_view name) = 0;
};

class WindowShell {
 public:
  virtual ~WindowShell() = default;

  // Opens the info window; an open one is closed first, so at most one exists.
  virtual void ShowInfo() = 0;
  virtual void CloseInfo() = 0;
  // Leaves the event loop; the program then ends with exit code 0. Saves nothing.
  virtual void EndProgram() = 0;
};

}  // namespace albumora

#endif  // ALBUMORA_UI_SERVICES_H_
