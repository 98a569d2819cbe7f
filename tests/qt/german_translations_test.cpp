// Qt's standard dialogs speak German once the program's translations are installed.
#include "ui/qt/german_translations.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>

#include "app/commands.h"
#include "platform/text.h"
#include "ui/qt/qt_services.h"

namespace albumora {
namespace {

QStringList ButtonTexts(const QFileDialog& dialog) {
  QStringList texts;
  const auto* box = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
  if (box == nullptr) return texts;
  for (const QAbstractButton* button : box->buttons()) texts << button->text();
  return texts;
}

QString LabelText(const QFileDialog& dialog, const char* name) {
  const auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name));
  return label == nullptr ? QString() : label->text();
}

TEST(GermanTranslations, FileAndFolderRequestersSpeakGerman) {
  const GermanQtTranslations german;
  ASSERT_TRUE(german.loaded()) << "qt6-translations-l10n is missing";

  QFileDialog file_dialog;
  file_dialog.setOption(QFileDialog::DontUseNativeDialog);
  PrepareFileDialog(file_dialog, "Vorlage", "", SmallTemplateFilter());
  EXPECT_EQ(ButtonTexts(file_dialog), (QStringList{"&Öffnen", "Abbrechen"}));
  EXPECT_EQ(LabelText(file_dialog, "lookInLabel"), QString::fromUtf8("Suchen in:"));
  EXPECT_EQ(LabelText(file_dialog, "fileTypeLabel"), QString::fromUtf8("Dateien des Typs:"));

  QFileDialog folder_dialog;
  folder_dialog.setOption(QFileDialog::DontUseNativeDialog);
  folder_dialog.setFileMode(QFileDialog::Directory);
  EXPECT_EQ(ButtonTexts(folder_dialog), (QStringList{"&Auswählen", "Abbrechen"}));
}

TEST(GermanTranslations, AreRemovedWithTheirOwner) {
  { const GermanQtTranslations german; }
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  EXPECT_TRUE(ButtonTexts(dialog).contains(QStringLiteral("Cancel")));
}

}  // namespace
}  // namespace albumora
