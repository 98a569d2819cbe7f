// The desktop program: the single-instance guard, the program-wide values, the main window
// filled from the settings file, then the event loop.
#include <QApplication>
#include <QMessageBox>

#include "app/desktop_program.h"
#include "platform/cache_files.h"
#include "platform/files.h"
#include "settings/program_values.h"
#include "ui/qt/german_translations.h"
#include "ui/qt/single_instance.h"

int main(int argc, char** argv) {
  using namespace albumora;
  QApplication application(argc, argv);
  ApplyProgramLook(application);
  const GermanQtTranslations german;
  // The program ends through its own commands and the close box, not when a window closes.
  application.setQuitOnLastWindowClosed(false);

  const std::string user_temp_folder = UserTempFolder();
  const SingleInstanceGuard guard(user_temp_folder);
  if (guard.another_copy_runs()) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Fehler"),
                    QStringLiteral("Albumora ist schon gestartet"), QMessageBox::Ok);
    box.exec();
    return 0;
  }

  DesktopProgram::Options options;
  options.on_end = [] { QCoreApplication::exit(0); };
  ProgramValues values = MakeProgramValues(TodayLocal(), user_temp_folder);
  values.cache_folder = UserCacheFolder("albumora");
  DesktopProgram program(std::move(values), std::move(options));
  program.Start();
  application.exec();
  return 0;
}
