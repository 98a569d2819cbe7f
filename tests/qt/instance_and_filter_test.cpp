#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <optional>

#include "app/commands.h"
#include "platform/text.h"
#include "support/scratch_folder.h"
#include "ui/qt/file_filter.h"
#include "ui/qt/qt_services.h"
#include "ui/qt/single_instance.h"

namespace albumora {
namespace {

TEST(SingleInstanceGuard, ASecondStartIsRefusedWhileTheFirstRuns) {
  WorkFolder folder;
  std::optional<SingleInstanceGuard> first(std::in_place, folder.path());
  EXPECT_FALSE(first->another_copy_runs());
  {
    const SingleInstanceGuard second(folder.path());
    EXPECT_TRUE(second.another_copy_runs());
  }
  // The refused copy took nothing from the first: it still holds the lock.
  EXPECT_TRUE(SingleInstanceGuard(folder.path()).another_copy_runs());
  first.reset();
  EXPECT_FALSE(SingleInstanceGuard(folder.path()).another_copy_runs());
}

TEST(SingleInstanceGuard, NoUsableFolderLetsTheStartGoOn) {
  EXPECT_FALSE(SingleInstanceGuard("").another_copy_runs());
  EXPECT_FALSE(SingleInstanceGuard("/proc/no-such-folder/").another_copy_runs());
}

TEST(FileFilter, PairsBecomeQtFiltersWithTheFirstFirst) {
  using V = std::vector<std::string>;
  // Qt matches the last parentheses; "*.*" stands for every file, also one without a dot.
  EXPECT_EQ(QtNameFilters(SmallTemplateFilter()),
            (V{"Vorlagen (*._vl) (*._vl)",
               "Webseiten (Htnl; PHP) (*.htm *.html *.php *.php3 *.php4 *.php5)",
               "Alle Dateien (*.*) (*)"}));
  EXPECT_EQ(QtNameFilters(BigTemplateFilter()).front(),
            Cp1252("Vorlagen Ansicht groß (*.gvl) (*.gvl)"));
  EXPECT_EQ(QtNameFilters(CssFileFilter()),
            (V{"CSS Datei (*.css) (*.css)", "Alle Dateien (*.*) (*)"}));
  EXPECT_EQ(QtNameFilters("Bilder|*.jpg;;*.jpeg|Rest"), V{"Bilder (*.jpg *.jpeg)"});
  EXPECT_EQ(QtNameFilters("|*.x|Leer|"), V{"(*.x)"});
  EXPECT_TRUE(QtNameFilters("").empty());
}

// The dialog lists the filter texts' descriptions word for word, the first one selected, and
// opens in the folder of the start text.
TEST(FileFilter, DialogShowsTheDescriptionsAndOpensInTheStartFolder) {
  WorkFolder folder;
  folder.Write("vorlagen/klein._vl", "");
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  PrepareFileDialog(dialog, Cp1252("Bitte wählen Sie eine Vorlage aus"),
                    folder / "vorlagen/klein._vl", SmallTemplateFilter());

  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Bitte wählen Sie eine Vorlage aus"));
  EXPECT_EQ(QDir(dialog.directory()).canonicalPath(),
            QDir(QString::fromStdString(folder / "vorlagen")).canonicalPath());
  const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  ASSERT_NE(types, nullptr);
  QStringList shown;
  for (int i = 0; i < types->count(); ++i) shown << types->itemText(i);
  EXPECT_EQ(shown,
            (QStringList{"Vorlagen (*._vl)", "Webseiten (Htnl; PHP)", "Alle Dateien (*.*)"}));
  EXPECT_EQ(types->currentIndex(), 0);
  EXPECT_EQ(dialog.fileMode(), QFileDialog::AnyFile);
}

}  // namespace
}  // namespace albumora
