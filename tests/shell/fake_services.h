// Requesters, launcher and window shell that answer from the test and record what was asked.
#ifndef ALBUMORA_TESTS_SHELL_FAKE_SERVICES_H_
#define ALBUMORA_TESTS_SHELL_FAKE_SERVICES_H_

#include <functional>
#include <string>
#include <vector>

#include "ui/services.h"

namespace albumora {

class FakeRequesters : public Requesters {
 public:
  struct Request {
    bool folder;
    std::string title;
    std::string start;
    std::string filter;
  };

  std::string ChooseFolder(std::string_view title, std::string_view start_folder) override {
    requests.push_back({true, std::string(title), std::string(start_folder), {}});
    if (while_open) while_open();
    return answer;
  }
  std::string ChooseFile(std::string_view title, std::string_view start_folder,
                         std::string_view filter) override {
    requests.push_back({false, std::string(title), std::string(start_folder), std::string(filter)});
    return answer;
  }

  std::string answer;                // empty: the user cancels
  std::function<void()> while_open;  // what happens while the requester is open
  std::vector<Request> requests;
};

class FakeLauncher : public Launcher {
 public:
  bool StartProgram(std::string_view name) override {
    started.emplace_back(name);
    return programs_start;
  }
  bool OpenDocument(std::string_view name) override {
    opened.emplace_back(name);
    return documents_open;
  }

  bool programs_start = false;
  bool documents_open = false;
  std::vector<std::string> started;
  std::vector<std::string> opened;
};

class FakeShell : public WindowShell {
 public:
  void ShowInfo() override { ++info_shown; }
  void CloseInfo() override { ++info_closed; }
  void EndProgram() override { ++ended; }

  int info_shown = 0;
  int info_closed = 0;
  int ended = 0;
};

}  // namespace albumora

#endif  // ALBUMORA_TESTS_SHELL_FAKE_SERVICES_H_
