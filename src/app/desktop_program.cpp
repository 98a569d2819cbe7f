#include "app/desktop_program.h"

#include "app/dispatch.h"
#include "ui/qt/qt_application.h"
#include "ui/qt/qt_services.h"

namespace albumora {
namespace {

template <typename Service, typename Own, typename... Args>
Service& ChooseService(Service* given, std::unique_ptr<Service>& own, Args&&... args) {
  if (given != nullptr) return *given;
  own = std::make_unique<Own>(std::forward<Args>(args)...);
  return *own;
}

}  // namespace

DesktopProgram::DesktopProgram(ProgramValues values, Options options)
    : values_(std::move(values)),
      options_(std::move(options)),
      window_(std::make_unique<MainWindow>(gate_)),
      controls_(*window_),
      reporter_(controls_, gate_, options_.sleep),
      app_{controls_,
           reporter_,
           values_,
           ChooseService<Requesters, QtRequesters>(options_.requesters, own_requesters_,
                                                   window_.get()),
           ChooseService<Launcher, QtLauncher>(options_.launcher, own_launcher_),
           *this} {
  gate_.set_handler([this](const WindowEvent& event) { DispatchEvent(app_, event); });
  gate_.set_drain(HandlePendingWindowEvents);
}

DesktopProgram::~DesktopProgram() {
  gate_.set_handler({});
  gate_.set_drain({});
}

void DesktopProgram::Start() {
  PrepareMainWindow(app_);
  window_->show();
}

void DesktopProgram::ShowInfo() {
  RetireInfoWindow();
  info_ = std::make_unique<InfoWindow>(gate_, values_.program_version, values_.program_build,
                                       std::string(kProductWebsite));
  info_->show();
}

void DesktopProgram::CloseInfo() { RetireInfoWindow(); }

void DesktopProgram::EndProgram() {
  ended_ = true;
  RetireInfoWindow();
  window_->hide();
  if (options_.on_end) options_.on_end();
}

void DesktopProgram::RetireInfoWindow() {
  // Earlier closed windows are not on the call stack now; the current one may be (its own "OK"
  // button closes it), so it is only hidden.
  retired_.clear();
  if (info_ == nullptr) return;
  info_->hide();
  retired_.push_back(std::move(info_));
}

}  // namespace albumora
