// The info window as built: every control at its place in creation order, its texts, fonts and
// colours.
#include "ui/qt/info_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <vector>

#include "app/event_gate.h"
#include "ui/control_ids.h"

namespace albumora {
namespace {

struct Place {
  int number;
  QRect rect;
};

// In creation order: the links come after the frame 3, so they lie above it.
const std::vector<Place> kPlaces = {
    {0, {0, 0, 300, 50}},     {1, {0, 50, 300, 76}},    {2, {20, 150, 260, 20}},
    {5, {10, 245, 278, 20}},  {3, {5, 140, 290, 155}},  {4, {10, 170, 280, 15}},
    {10, {10, 185, 280, 15}}, {6, {100, 305, 110, 20}}, {7, {45, 205, 220, 15}},
    {8, {105, 220, 95, 15}},
};

class InfoWindowTest : public testing::Test {
 protected:
  QLabel* Label(int number) const { return qobject_cast<QLabel*>(info_.control(number)); }

  EventGate gate_;
  InfoWindow info_{gate_, "0.4.0", "155", "https://example.org"};
};

TEST_F(InfoWindowTest, EveryControlSitsAtItsPlaceInCreationOrder) {
  const QObjectList children = info_.children();
  qsizetype previous = -1;
  for (const Place& place : kPlaces) {
    QWidget* widget = info_.control(place.number);
    ASSERT_NE(widget, nullptr) << place.number;
    EXPECT_EQ(widget->parentWidget(), &info_) << place.number;
    EXPECT_EQ(widget->geometry(), place.rect) << place.number;
    const qsizetype index = children.indexOf(widget);
    EXPECT_GT(index, previous) << place.number;
    previous = index;
  }
}

TEST_F(InfoWindowTest, TextsFontsAndColours) {
  const QLabel* name = Label(0);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->text(), "ALBUMORA");
  EXPECT_EQ(name->font().family(), "Verdana");
  EXPECT_EQ(name->font().pointSize(), 24);
  EXPECT_TRUE(name->font().bold());
  EXPECT_EQ(name->palette().color(QPalette::WindowText), QColor(255, 0, 0));

  const QLabel* version = Label(5);
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->text(), "Version = 0.4.0  /  Build = 155");
  EXPECT_EQ(version->font().family(), "Arial");
  EXPECT_EQ(version->font().pointSize(), 8);

  EXPECT_EQ(Label(4)->text(), "Albumora erstellt HTML/PHP Foto-Webseiten");
  EXPECT_TRUE(Label(10)->text().isEmpty());
  EXPECT_FALSE(Label(2)->text().isEmpty());
  for (int centred : {0, 2, 4, 5, 10}) {
    EXPECT_EQ(Label(centred)->alignment() & Qt::AlignHCenter, Qt::AlignHCenter) << centred;
  }
  EXPECT_EQ(Label(1)->pixmap().size(), QSize(300, 76));
  EXPECT_EQ(qobject_cast<QAbstractButton*>(info_.control(ctl::kInfoOk))->text(), "OK");

  EXPECT_EQ(Label(ctl::kInfoWebsiteLink)->text(), "Webseite: https://example.org");
  const QLabel* update = Label(ctl::kInfoUpdateLink);
  EXPECT_EQ(update->text(), QString::fromUtf8("Prüfen auf Updates"));
  EXPECT_FALSE(update->isEnabled());
  // The disabled link keeps the link colour rather than the greyed text.
  EXPECT_EQ(update->palette().color(QPalette::Disabled, QPalette::WindowText), QColor(0, 0, 255));
}

}  // namespace
}  // namespace albumora
