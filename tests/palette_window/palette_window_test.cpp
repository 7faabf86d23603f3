#include "palette_window/palette_window.h"
#include "palette_model/palette_document.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>

#include "palette_window/swatch_grid.h"
#include "palette_window/zoom_lens.h"
#include "support/app_fixture.h"

namespace tavlo::testing {
namespace {

class PaletteWindowTest : public AppFixture {
 protected:
  QLabel* Label(const char* name, int index) {
    for (QLabel* label : Palette().findChildren<QLabel*>(name))
      if (label->property("index").toInt() == index) return label;
    ADD_FAILURE() << name << "(" << index << ") missing";
    return nullptr;
  }
};

TEST_F(PaletteWindowTest, StartsBlackWithEntryZeroFramedAndDivisorTwo) {
  StartApp();
  EXPECT_EQ(Palette().windowTitle(), "Select entry");
  EXPECT_TRUE(Palette().isVisible());
  EXPECT_EQ(Palette().size(), QSize(370, 261));
  EXPECT_EQ(Palette().minimumSize(), Palette().maximumSize());
  EXPECT_TRUE(Palette().windowFlags().testFlag(Qt::Tool));
  EXPECT_FALSE(Palette().windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(Palette().windowFlags() & Qt::WindowMinMaxButtonsHint);
  EXPECT_EQ(Palette().parentWidget(), &Main());

  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(Document().GetEntryColor(i), 0);
    EXPECT_EQ(Document().SelectionFrameShown(i), i == 0);
  }
  EXPECT_EQ(Document().SelectedEntry(), 0);
  EXPECT_EQ(Palette().CurrentColorShown(), Palette().palette().color(QPalette::Window));
  EXPECT_EQ(Label("lblHTML", 0)->text(), "");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Label("lblRGB", i)->text(), "");

  auto* compress = Palette().findChild<QComboBox*>("cmbCompress");
  ASSERT_NE(compress, nullptr);
  EXPECT_FALSE(compress->isEditable());
  ASSERT_EQ(compress->count(), 49);
  EXPECT_EQ(compress->itemText(0), "2");
  EXPECT_EQ(compress->itemText(48), "50");
  EXPECT_EQ(compress->currentText(), "2");
  EXPECT_EQ(Palette().CompressDivisorText(), "2");
  compress->setCurrentIndex(-1);
  EXPECT_EQ(Palette().CompressDivisorText(), "2");
}

TEST_F(PaletteWindowTest, ElementsStandAtTheirPixelPositions) {
  StartApp();
  SwatchGrid* grid = Palette().Swatches();
  EXPECT_EQ(grid->objectName(), "lblColors");
  const auto swatchAt = [&](int i) {
    return QRect(grid->mapTo(&Palette(), SwatchGrid::SwatchRect(i).topLeft()), QSize(15, 15));
  };
  EXPECT_EQ(swatchAt(0), QRect(4, 4, 15, 15));
  EXPECT_EQ(swatchAt(16), QRect(4, 20, 15, 15));      // 60, 300 twips
  EXPECT_EQ(swatchAt(255), QRect(244, 244, 15, 15));  // 3660, 3660 twips
  EXPECT_EQ(SwatchGrid::IndexAt(SwatchGrid::SwatchRect(17).center()), 17);
  EXPECT_EQ(SwatchGrid::IndexAt(SwatchGrid::SwatchRect(17).bottomRight() + QPoint(1, 0)), -1);

  EXPECT_EQ(Palette().findChild<QWidget*>("picZoom")->geometry(), QRect(265, 3, 100, 100));
  EXPECT_EQ(Palette().findChild<QWidget*>("lblColor")->geometry(), QRect(265, 106, 100, 80));
  EXPECT_EQ(Palette().findChild<QLabel*>("lblCompress")->text(), "Compress:");
  EXPECT_EQ(Palette().findChild<QLabel*>("lblCompress")->geometry(), QRect(269, 192, 49, 13));
  EXPECT_EQ(Palette().findChild<QWidget*>("cmbCompress")->geometry(), QRect(325, 188, 40, 21));
  EXPECT_EQ(Label("lblText", 0)->geometry(), QRect(269, 208, 10, 13));
  EXPECT_EQ(Label("lblText", 5)->text(), "r");
  EXPECT_EQ(Label("lblText", 5)->geometry(), QRect(269, 220, 10, 13));
  EXPECT_EQ(Label("lblText", 4)->text(), "g");
  EXPECT_EQ(Label("lblText", 3)->text(), "b");
  EXPECT_EQ(Label("lblText", 3)->geometry(), QRect(269, 244, 10, 13));
  EXPECT_EQ(Label("lblHTML", 0)->geometry(), QRect(288, 208, 80, 13));
  EXPECT_EQ(Label("lblRGB", 2)->geometry(), QRect(288, 244, 80, 13));
  EXPECT_EQ(Label("lblRGB", 0)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(Label("lblRGB", 1)->palette().color(QPalette::WindowText), QColor(0, 128, 0));
  EXPECT_EQ(Label("lblText", 3)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  const QFontMetrics panel(Label("lblHTML", 0)->font());
  EXPECT_EQ(panel.horizontalAdvance("i"), panel.horizontalAdvance("M"));
  EXPECT_EQ(panel.horizontalAdvance(" "), panel.horizontalAdvance("8"));
}

TEST_F(PaletteWindowTest, SetEntryColorChangesOnlyTheEntry) {
  StartApp();
  Palette().ShowCurrentColor(0x00336699);
  Palette().ShowEntryInfo(0x00336699);
  Document().SetEntryColor(0, 0x000000FF);
  EXPECT_EQ(Document().GetEntryColor(0), 0x000000FF);
  EXPECT_EQ(Palette().CurrentColorShown(), QColor(0x99, 0x66, 0x33));
  EXPECT_EQ(Label("lblHTML", 0)->text(), "996633");
  EXPECT_EQ(Document().SelectedEntry(), 0);
  EXPECT_TRUE(Document().SelectionFrameShown(0));
}

TEST_F(PaletteWindowTest, ShowEntryInfoFillsThePanel) {
  StartApp();
  Palette().ShowEntryInfo(0x000080FF);
  EXPECT_EQ(Label("lblHTML", 0)->text(), "FF8000");
  EXPECT_EQ(Label("lblRGB", 0)->text(), "255 FF");
  EXPECT_EQ(Label("lblRGB", 1)->text(), "128 80");
  EXPECT_EQ(Label("lblRGB", 2)->text(), "  0 00");
}

TEST_F(PaletteWindowTest, OnlyShutDownClosesIt) {
  StartApp();
  Palette().close();
  EXPECT_TRUE(Palette().isVisible());
}

}  // namespace
}  // namespace tavlo::testing
