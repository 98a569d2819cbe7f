#include "ui/memory_controls.h"

#include <algorithm>
#include <utility>

#include "platform/text.h"
#include "ui/control_ids.h"

namespace albumora {
namespace {

constexpr int kNoSelection = -1;

// List 47 compares its items without regard to letter case, the program's own way.
int FindRowCountItem(std::string_view text) {
  const std::string wanted = LowerCase(text);
  const auto items = RowCountItems();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (LowerCase(items[i]) == wanted) return static_cast<int>(i);
  }
  return kNoSelection;
}

}  // namespace

MemoryControls::MemoryControls() {
  for (const ControlSpec& spec : MainWindowControls()) {
    Control control;
    control.spec = &spec;
    control.maximum = spec.maximum;
    switch (spec.kind) {
      case ControlKind::kDropDownList:
        control.state = kNoSelection;
        break;
      case ControlKind::kSlider:
      case ControlKind::kSpin:
        // A fresh slider or spin stands at its lower bound; a spin's field starts empty.
        control.state = spec.minimum;
        control.text = Cp1252(spec.caption);
        break;
      default:
        control.text = Cp1252(spec.caption);
        break;
    }
    controls_.emplace(spec.number, std::move(control));
  }
  status_[0] = std::string(kPhotoCountPrefix) + "0";
  status_[1] = "OK";
}

MemoryControls::Control* MemoryControls::Find(int control) {
  auto it = controls_.find(control);
  return it == controls_.end() ? nullptr : &it->second;
}

const MemoryControls::Control* MemoryControls::Find(int control) const {
  auto it = controls_.find(control);
  return it == controls_.end() ? nullptr : &it->second;
}

std::string MemoryControls::GetControlText(int control) const {
  const Control* c = Find(control);
  if (c == nullptr) return {};
  if (c->spec->kind == ControlKind::kDropDownList) {
    const auto items = RowCountItems();
    if (c->state < 0 || c->state >= static_cast<int>(items.size())) return {};
    return items[static_cast<std::size_t>(c->state)];
  }
  return c->text;
}

void MemoryControls::SetControlText(int control, std::string_view text) {
  Control* c = Find(control);
  if (c == nullptr) return;
  if (c->spec->kind == ControlKind::kDropDownList) {
    if (text.empty()) {
      c->state = kNoSelection;
    } else if (const int item = FindRowCountItem(text); item != kNoSelection) {
      c->state = item;
    }
    // A text that names no item keeps the current selection.
    return;
  }
  // A spin's field text is its own: setting it leaves the value alone.
  c->text = std::string(text);
}

int MemoryControls::GetControlState(int control) const {
  const Control* c = Find(control);
  return c == nullptr ? 0 : c->state;
}

void MemoryControls::SetControlState(int control, int state) {
  Control* c = Find(control);
  if (c == nullptr) return;
  switch (c->spec->kind) {
    case ControlKind::kCheckBox:
      c->state = state != 0 ? 1 : 0;
      break;
    case ControlKind::kOption:
      if (state != 0) {
        // Options of one container form a group: selecting one clears the others first.
        for (auto& [number, other] : controls_) {
          if (other.spec->kind == ControlKind::kOption && other.spec->parent == c->spec->parent) {
            other.state = 0;
          }
        }
        c->state = 1;
      } else {
        c->state = 0;
      }
      break;
    case ControlKind::kSlider:
    case ControlKind::kSpin:
      // The whole number is clamped; it is never cut to 16 bits first, so 70000 reaches the
      // upper bound instead of wrapping round to some value inside the range. Every spin range
      // fits in 16 bits, so the value does too.
      c->state = std::clamp(state, c->spec->minimum, c->spec->maximum);
      break;
    case ControlKind::kDropDownList: {
      const int items = static_cast<int>(RowCountItems().size());
      c->state = state >= 0 && state < items ? state : kNoSelection;
      break;
    }
    case ControlKind::kProgressBar:
      c->state = std::clamp(state, 0, c->maximum);
      break;
    case ControlKind::kTabPanel: {
      const int tabs = static_cast<int>(SettingsPanelTabs().size());
      if (state >= 0 && state < tabs) c->state = state;
      break;
    }
    default:
      // Text fields, labels, frames and buttons hold no number.
      break;
  }
}

void MemoryControls::DisableControl(int control, bool disabled) {
  if (Control* c = Find(control)) c->disabled = disabled;
}

void MemoryControls::HideControl(int control, bool hidden) {
  if (Control* c = Find(control)) c->hidden = hidden;
}

void MemoryControls::SetControlMaximum(int control, int maximum) {
  Control* c = Find(control);
  if (c == nullptr || c->spec->kind != ControlKind::kProgressBar) return;
  // The lower bound stays 0; a negative maximum would leave an empty range.
  c->maximum = std::max(maximum, 0);
  c->state = std::min(c->state, c->maximum);
}

void MemoryControls::ShowMessage(std::string_view title, std::string_view text) {
  messages_.push_back(Message{std::string(title), std::string(text)});
  if (message_callback_) message_callback_(messages_.back());
}

bool MemoryControls::IsControlDisabled(int control) const {
  const Control* c = Find(control);
  return c != nullptr && c->disabled;
}

bool MemoryControls::IsControlHidden(int control) const {
  const Control* c = Find(control);
  return c != nullptr && c->hidden;
}

const std::string& MemoryControls::StatusField(int field) const {
  static const std::string kNone;
  return field == 0 || field == 1 ? status_[field] : kNone;
}

void MemoryControls::SetStatusField(int field, std::string_view text) {
  if (field == 0 || field == 1) status_[field] = std::string(text);
}

int MemoryControls::ControlMaximum(int control) const {
  const Control* c = Find(control);
  return c == nullptr ? 0 : c->maximum;
}

void MemoryProgressReporter::ShowPhotoCount(int count) {
  controls_.SetStatusField(0, std::string(kPhotoCountPrefix) + Decimal(count));
}

void MemoryProgressReporter::ShowStatus(std::string_view text) {
  controls_.SetStatusField(1, text);
  status_log_.emplace_back(text);
}

void MemoryProgressReporter::SetProgressMaximum(int maximum) {
  controls_.SetControlMaximum(ctl::kProgressBar, maximum);
}

void MemoryProgressReporter::SetProgress(int position) {
  controls_.SetControlState(ctl::kProgressBar, position);
}

void MemoryProgressReporter::KeepAlive(int /*pause_ms*/) { ++keep_alive_calls_; }

void MemoryProgressReporter::SetRunControls(bool running) {
  controls_.DisableControl(ctl::kQuit, running);
  controls_.DisableControl(ctl::kCreateWebsite, running);
  controls_.DisableControl(ctl::kCancel, !running);
}

void MemoryProgressReporter::Pause(int pause_ms) { paused_ms_ += pause_ms; }

}  // namespace albumora
