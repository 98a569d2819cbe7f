#include "ui/qt/qt_controls.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QVariant>
#include <algorithm>

#include "ui/qt/qt_text.h"
#include "ui/qt/spin_field.h"
#include "ui/qt/text_fit.h"

namespace albumora {
namespace {

// Kinds that show no text of their own still keep one, as every control does.
constexpr char kTextProperty[] = "albumoraText";
// The progress bar's upper bound as the program set it. Qt draws an endless busy animation for
// the range 0 to 0 (a run over a folder without photos), so the bar itself then keeps one step
// and stays empty.
constexpr char kMaximumProperty[] = "albumoraMaximum";

int ProgressMaximum(const QProgressBar& bar) {
  const QVariant maximum = bar.property(kMaximumProperty);
  return maximum.isValid() ? maximum.toInt() : bar.maximum();
}

// Finds the list item the way list 47 compares: without regard to letter case.
int FindItem(const QComboBox& list, const QString& text) {
  return list.findText(text, Qt::MatchFixedString);
}

// A message text separates its lines with carriage returns alone; Qt breaks lines at '\n'.
QString MessageText(std::string_view text) {
  QString result = ToQString(text);
  result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  result.replace(QChar('\r'), QChar('\n'));
  return result;
}

}  // namespace

std::string QtControls::GetControlText(int control) const {
  QWidget* widget = window_.control(control);
  const ControlSpec* spec = FindControlSpec(control);
  if (widget == nullptr || spec == nullptr) return {};
  switch (spec->kind) {
    case ControlKind::kFrame:
      return FromQString(static_cast<QGroupBox*>(widget)->title());
    case ControlKind::kReadOnlyText:
    case ControlKind::kEditText:
      return FromQString(static_cast<QLineEdit*>(widget)->text());
    case ControlKind::kLabel:
      return FromQString(static_cast<QLabel*>(widget)->text());
    case ControlKind::kCheckBox:
    case ControlKind::kOption:
    case ControlKind::kPushButton:
      return FromQString(static_cast<QAbstractButton*>(widget)->text());
    case ControlKind::kSpin:
      return FromQString(static_cast<SpinField*>(widget)->text());
    case ControlKind::kDropDownList: {
      const auto* list = static_cast<QComboBox*>(widget);
      return list->currentIndex() < 0 ? std::string() : FromQString(list->currentText());
    }
    default:
      return FromQString(widget->property(kTextProperty).toString());
  }
}

void QtControls::SetControlText(int control, std::string_view text) {
  QWidget* widget = window_.control(control);
  const ControlSpec* spec = FindControlSpec(control);
  if (widget == nullptr || spec == nullptr) return;
  const QSignalBlocker blocker(widget);
  const QString value = ToQString(text);
  switch (spec->kind) {
    case ControlKind::kFrame:
      static_cast<QGroupBox*>(widget)->setTitle(value);
      FitCaption(*widget);
      break;
    case ControlKind::kReadOnlyText:
    case ControlKind::kEditText: {
      auto* edit = static_cast<QLineEdit*>(widget);
      edit->setText(value);
      edit->setCursorPosition(0);  // a long path shows its beginning, as after typing Home
      break;
    }
    case ControlKind::kLabel:
      static_cast<QLabel*>(widget)->setText(value);
      FitCaption(*widget);
      break;
    case ControlKind::kCheckBox:
    case ControlKind::kOption:
    case ControlKind::kPushButton:
      static_cast<QAbstractButton*>(widget)->setText(value);
      FitCaption(*widget);
      break;
    case ControlKind::kSpin:
      // Only the field; the value stays.
      static_cast<SpinField*>(widget)->setText(value);
      break;
    case ControlKind::kDropDownList: {
      auto* list = static_cast<QComboBox*>(widget);
      if (value.isEmpty()) {
        list->setCurrentIndex(-1);
      } else if (const int item = FindItem(*list, value); item >= 0) {
        list->setCurrentIndex(item);
      }
      // A text that names no item keeps the current selection.
      break;
    }
    default:
      widget->setProperty(kTextProperty, value);
      break;
  }
}

int QtControls::GetControlState(int control) const {
  QWidget* widget = window_.control(control);
  const ControlSpec* spec = FindControlSpec(control);
  if (widget == nullptr || spec == nullptr) return 0;
  switch (spec->kind) {
    case ControlKind::kCheckBox:
    case ControlKind::kOption:
      return static_cast<QAbstractButton*>(widget)->isChecked() ? 1 : 0;
    case ControlKind::kSlider:
      return static_cast<QSlider*>(widget)->value();
    case ControlKind::kSpin:
      return static_cast<SpinField*>(widget)->value();
    case ControlKind::kDropDownList:
      return static_cast<QComboBox*>(widget)->currentIndex();
    case ControlKind::kProgressBar:
      return std::max(static_cast<QProgressBar*>(widget)->value(), 0);
    case ControlKind::kTabPanel:
      return static_cast<QTabWidget*>(widget)->currentIndex();
    default:
      return 0;
  }
}

void QtControls::SetControlState(int control, int state) {
  QWidget* widget = window_.control(control);
  const ControlSpec* spec = FindControlSpec(control);
  if (widget == nullptr || spec == nullptr) return;
  const QSignalBlocker blocker(widget);
  switch (spec->kind) {
    case ControlKind::kCheckBox:
      static_cast<QAbstractButton*>(widget)->setChecked(state != 0);
      break;
    case ControlKind::kOption: {
      auto* option = static_cast<QAbstractButton*>(widget);
      if (state != 0) {
        // The group is exclusive: checking one clears the others.
        option->setChecked(true);
      } else {
        // Clearing only this option may leave the group with none selected, which an exclusive
        // group refuses; lift the rule for that one change.
        QButtonGroup* group = option->group();
        if (group != nullptr) group->setExclusive(false);
        option->setChecked(false);
        if (group != nullptr) group->setExclusive(true);
      }
      break;
    }
    case ControlKind::kSlider:
      static_cast<QSlider*>(widget)->setValue(std::clamp(state, spec->minimum, spec->maximum));
      break;
    case ControlKind::kSpin:
      // The value only; the field shows what it showed.
      static_cast<SpinField*>(widget)->setValue(state);
      break;
    case ControlKind::kDropDownList: {
      auto* list = static_cast<QComboBox*>(widget);
      list->setCurrentIndex(state >= 0 && state < list->count() ? state : -1);
      break;
    }
    case ControlKind::kProgressBar: {
      auto* bar = static_cast<QProgressBar*>(widget);
      bar->setValue(std::clamp(state, 0, ProgressMaximum(*bar)));
      break;
    }
    case ControlKind::kTabPanel: {
      auto* panel = static_cast<QTabWidget*>(widget);
      if (state >= 0 && state < panel->count()) panel->setCurrentIndex(state);
      break;
    }
    default:
      break;
  }
}

void QtControls::DisableControl(int control, bool disabled) {
  if (QWidget* widget = window_.control(control)) widget->setEnabled(!disabled);
}

void QtControls::HideControl(int control, bool hidden) {
  if (QWidget* widget = window_.control(control)) widget->setHidden(hidden);
}

void QtControls::SetControlMaximum(int control, int maximum) {
  const ControlSpec* spec = FindControlSpec(control);
  if (spec == nullptr || spec->kind != ControlKind::kProgressBar) return;
  auto* bar = static_cast<QProgressBar*>(window_.control(control));
  const int position = std::max(bar->value(), 0);
  const int upper = std::max(maximum, 0);
  // QProgressBar resets a position that falls outside a new range; keep it at the bound instead.
  bar->setProperty(kMaximumProperty, upper);
  bar->setRange(0, std::max(upper, 1));
  bar->setValue(std::min(position, upper));
}

void QtControls::ShowMessage(std::string_view title, std::string_view text) {
  if (message_handler_) {
    message_handler_(std::string(title), std::string(text));
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, ToQString(title), MessageText(text), QMessageBox::Ok,
                  &window_);
  box.exec();
}

bool QtControls::IsControlDisabled(int control) const {
  const QWidget* widget = window_.control(control);
  return widget != nullptr && widget->testAttribute(Qt::WA_ForceDisabled);
}

bool QtControls::IsControlHidden(int control) const {
  // Every widget counts as hidden until its window is first shown; only an explicit hide counts.
  const QWidget* widget = window_.control(control);
  return widget != nullptr && widget->testAttribute(Qt::WA_WState_ExplicitShowHide) &&
         widget->testAttribute(Qt::WA_WState_Hidden);
}

std::string QtControls::StatusField(int field) const {
  const QLabel* label = window_.statusField(field);
  return label == nullptr ? std::string() : FromQString(label->text());
}

void QtControls::SetStatusField(int field, std::string_view text) {
  if (QLabel* label = window_.statusField(field)) {
    label->setText(ToQString(text));
    FitCaption(*label);
    // Paint at once: a run may pause right after a status text without handling any event.
    label->repaint();
  }
}

int QtControls::ControlMaximum(int control) const {
  const ControlSpec* spec = FindControlSpec(control);
  if (spec == nullptr || spec->kind != ControlKind::kProgressBar) return 0;
  return ProgressMaximum(*static_cast<QProgressBar*>(window_.control(control)));
}

}  // namespace albumora
