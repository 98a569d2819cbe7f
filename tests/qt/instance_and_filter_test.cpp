#include <gtest/gtest.h>

#include <optional>

#include "../shell/work_folder.h"
#include "app/commands.h"
#include "platform/text.h"
#include "ui/qt/file_filter.h"
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
  EXPECT_EQ(
      QtNameFilters(SmallTemplateFilter()),
      (V{"Vorlagen (*._vl)", "Webseiten (Htnl; PHP) (*.htm *.html *.php *.php3 *.php4 *.php5)",
         "Alle Dateien (*.*)"}));
  EXPECT_EQ(QtNameFilters(BigTemplateFilter()).front(), Cp1252("Vorlagen Ansicht groß (*.gvl)"));
  EXPECT_EQ(QtNameFilters(CssFileFilter()), (V{"CSS Datei (*.css)", "Alle Dateien (*.*)"}));
  EXPECT_EQ(QtNameFilters("Bilder|*.jpg;;*.jpeg|Rest"), V{"Bilder (*.jpg *.jpeg)"});
  EXPECT_EQ(QtNameFilters("|*.x|Leer|"), V{"(*.x)"});
  EXPECT_TRUE(QtNameFilters("").empty());
}

}  // namespace
}  // namespace albumora
