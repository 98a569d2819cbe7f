// The controls of the main window kept in memory, with the value rules of every control kind.
// Used by the batch command and by every test of the logic.
#ifndef ALBUMORA_UI_MEMORY_CONTROLS_H_
#define ALBUMORA_UI_MEMORY_CONTROLS_H_

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/control_table.h"
#include "ui/controls.h"
#include "ui/progress_reporter.h"

namespace albumora {

class MemoryControls : public Controls {
 public:
  struct Message {
    std::string title;
    std::string text;
  };

  MemoryControls();  // every control of MainWindowControls() with its initial caption/text

  std::string GetControlText(int control) const override;
  void SetControlText(int control, std::string_view text) override;
  int GetControlState(int control) const override;
  void SetControlState(int control, int state) override;
  void DisableControl(int control, bool disabled) override;
  void HideControl(int control, bool hidden) override;
  void SetControlMaximum(int control, int maximum) override;
  void ShowMessage(std::string_view title, std::string_view text) override;
  bool IsControlDisabled(int control) const override;
  bool IsControlHidden(int control) const override;

  // Status bar 90: field 0 starts as kPhotoCountPrefix + "0", field 1 as "OK".
  const std::string& StatusField(int field) const;
  void SetStatusField(int field, std::string_view text);
  int ControlMaximum(int control) const;

  // Every message shown so far, in order; the callback (if set) sees each as it is shown.
  const std::vector<Message>& messages() const { return messages_; }
  void set_message_callback(std::function<void(const Message&)> callback) {
    message_callback_ = std::move(callback);
  }

 private:
  struct Control {
    const ControlSpec* spec = nullptr;
    std::string text;
    int state = 0;
    int maximum = 0;
    bool disabled = false;
    bool hidden = false;
  };
  Control* Find(int control);
  const Control* Find(int control) const;

  std::map<int, Control> controls_;
  std::string status_[2];
  std::vector<Message> messages_;
  std::function<void(const Message&)> message_callback_;
};

// ProgressReporter over MemoryControls. KeepAlive and Pause never wait; they are counted.
class MemoryProgressReporter : public ProgressReporter {
 public:
  explicit MemoryProgressReporter(MemoryControls& controls) : controls_(controls) {}

  void ShowPhotoCount(int count) override;
  void ShowStatus(std::string_view text) override;
  void SetProgressMaximum(int maximum) override;
  void SetProgress(int position) override;
  void KeepAlive(int pause_ms) override;
  void SetRunControls(bool running) override;
  void Pause(int pause_ms) override;

  // Every text put into status field 1, in order.
  const std::vector<std::string>& status_log() const { return status_log_; }
  int keep_alive_calls() const { return keep_alive_calls_; }
  long long paused_ms() const { return paused_ms_; }

 private:
  MemoryControls& controls_;
  std::vector<std::string> status_log_;
  int keep_alive_calls_ = 0;
  long long paused_ms_ = 0;
};

}  // namespace albumora

#endif  // ALBUMORA_UI_MEMORY_CONTROLS_H_
