// The widget tests need one QApplication for the whole run, with the program's own look. They
// run on the offscreen platform unless told otherwise.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/desktop_program.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  albumora::ApplyProgramLook(application);
  application.setQuitOnLastWindowClosed(false);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
