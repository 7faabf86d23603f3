// The picture commands driven through the real windows: "Open image", drops onto the picture
// area and the recent-pictures menu.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

#include "app/main_window.h"
#include "picture/picture_loader.h"
#include "picture_view/picture_area.h"
#include "store/process_state.h"
#include "store/settings_store.h"
#include "support/app_fixture.h"
#include "support/picture_files.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

// The filters after "All formats", one format or group each.
const QString kOneFormatFilters = QStringLiteral(
    "JPEG - Compilant|*.jpg|"
    "Compuserve Graphics Interchange|*.gif|Windows Bitmap|*.bmp|"
    "Windows Run-length-encoded|*.rle|Windows Metafile|*.wmf|Windows Enhanced Metafile|*.emf|"
    "Windows Icon|*.ico|Other pictures|*.png;*.webp;*.tif;*.tiff;*.tga");

// "All formats" lists every ending of the other filters, and the other spellings of JPEG.
void ExpectAllFormatsListsEveryEnding(const QString& filter) {
  ASSERT_TRUE(filter.startsWith(QStringLiteral("All formats|")));
  const QStringList pairs = filter.split(QLatin1Char('|'));
  ASSERT_EQ(filter.section(QLatin1Char('|'), 2), kOneFormatFilters);
  const QStringList all = pairs[1].split(QLatin1Char(';'));
  QStringList needed = {QStringLiteral("*.jpeg"), QStringLiteral("*.png")};
  for (qsizetype i = 3; i < pairs.size(); i += 2) needed << pairs[i].split(QLatin1Char(';'));
  for (const QString& ending : needed) EXPECT_TRUE(all.contains(ending)) << ending.toStdString();
}

class ImageCommandsTest : public AppFixture {
 protected:
  // A picture file of the given size in one colour, under `sub` of the temporary directory.
  QString MakePicture(const QString& name, QSize size = {100, 50}, QRgb color = 0xFF336699u,
                      const QString& sub = QStringLiteral("pics")) {
    QDir(TempPath(QString())).mkpath(sub);
    const QString path = TempPath(sub + QLatin1Char('/') + name);
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    EXPECT_TRUE(image.save(path, "PNG")) << path.toStdString();
    return path;
  }

  QString Recent(int i) {
    return ReadSetting(SettingsPath(), QStringLiteral("Recent"),
                       QStringLiteral("RecentFile%1").arg(i), QString());
  }
  QString Setting(const char* section, const char* key) {
    return ReadSetting(SettingsPath(), QString::fromLatin1(section), QString::fromLatin1(key),
                       QString());
  }

  // The visible recent entries of the File menu, top to bottom.
  QStringList MenuEntries() {
    QStringList entries;
    for (int i = 1; i <= 4; ++i)
      if (Main().RecentItem(i)->isVisible()) entries << Main().RecentItem(i)->data().toString();
    return entries;
  }

  QSize ClientSize() { return Main().centralWidget()->size(); }

  // Sends a drag carrying `data` over the picture area and drops it; returns whether the drag
  // was accepted and with which action.
  Qt::DropAction Drop(QMimeData* data, Qt::DropActions allowed = Qt::CopyAction | Qt::MoveAction) {
    PictureArea* area = Main().Picture();
    const QPoint at(10, 10);
    QDragEnterEvent enter(at, allowed, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(area, &enter);
    const Qt::DropAction answered = enter.isAccepted() ? enter.dropAction() : Qt::IgnoreAction;
    QDropEvent drop(QPointF(at), allowed, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(area, &drop);
    QApplication::processEvents();
    return answered;
  }

  static QMimeData* Files(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
  }
};

TEST_F(ImageCommandsTest, OpenImageFitsTheWindowNamesTheFileAndRemembersItsDirectory) {
  StartApp();
  const QString path = MakePicture(QStringLiteral("logo.png"));
  OpenPicture(path);

  const auto opens = dialogs_.CallsOf("open");
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].title, QStringLiteral("Open Image"));
  EXPECT_EQ(opens[0].directory, QDir::currentPath());
  EXPECT_EQ(opens[0].defaultName, QString());
  ExpectAllFormatsListsEveryEnding(opens[0].filter);
  EXPECT_EQ(opens[0].defaultExt, QStringLiteral("jpg"));

  EXPECT_EQ(ClientSize(), ClientFor(QSize(104, 54)));
  EXPECT_EQ(Main().Picture()->Picture().size(), QSize(100, 50));
  EXPECT_EQ(Main().windowTitle(), QStringLiteral("Tavlo - ") + path);
  EXPECT_EQ(Setting("frmMain", "Imagepath"), TempPath(QStringLiteral("pics/")));
  EXPECT_EQ(Recent(1), path);
  EXPECT_TRUE(Main().RecentItem(0)->isVisible());
  EXPECT_EQ(Main().RecentItem(1)->text(), path);
  EXPECT_EQ(MenuEntries(), QStringList{path});

  // The next open starts where the last picture came from; Cancel changes nothing.
  dialogs_.AnswerOpen(std::nullopt);
  Trigger("mnu_OpenImage");
  EXPECT_EQ(dialogs_.CallsOf("open").back().directory, TempPath(QStringLiteral("pics/")));
  EXPECT_EQ(Main().windowTitle(), QStringLiteral("Tavlo - ") + path);
}

// A picture narrower than the menu bar sits at the top left of an area as wide as the menu bar:
// every menu title shows on the bar, none behind an extension button.
TEST_F(ImageCommandsTest, ASmallPictureKeepsEveryMenuTitleVisible) {
  StartApp();
  for (const QSize size : {QSize(3, 40), QSize(64, 64), QSize(300, 20)}) {
    OpenPicture(MakePicture(QStringLiteral("small.png"), size));
    EXPECT_EQ(ClientSize(), ClientFor(size + QSize(4, 4)));
    EXPECT_EQ(Main().Picture()->Canvas()->mapTo(Main().Picture(), QPoint(0, 0)), QPoint(2, 2));
    EXPECT_EQ(Main().Picture()->Canvas()->size(), size);
    const QMenuBar* bar = Main().menuBar();
    for (QAction* title : bar->actions())
      EXPECT_TRUE(bar->rect().contains(bar->actionGeometry(title)))
          << title->text().toStdString() << " at " << size.width();
  }
}

TEST_F(ImageCommandsTest, UnreadablePicturesChangeNothing) {
  StartApp();
  const QString good = MakePicture(QStringLiteral("good.png"));
  OpenPicture(good);
  const QByteArray settingsBefore = ReadBytes(SettingsPath());
  const QImage pictureBefore = Main().Picture()->Picture();

  QImage photo(64, 64, QImage::Format_RGB32);
  photo.fill(Qt::darkCyan);
  const QString jpeg = TempPath(QStringLiteral("pics/full.jpg"));
  ASSERT_TRUE(photo.save(jpeg, "JPEG"));
  const QString cut = TempPath(QStringLiteral("other/cut.jpg"));
  QDir(TempPath(QString())).mkpath(QStringLiteral("other"));
  WriteBytes(cut, ReadBytes(jpeg).left(ReadBytes(jpeg).size() / 2));
  const QString text = TempPath(QStringLiteral("other/text.jpg"));
  WriteBytes(text, "just some words\r\n");

  OpenPicture(cut);
  Drop(Files({text}));
  Drop(Files({TempPath(QStringLiteral("other/missing.jpg"))}));

  EXPECT_EQ(ReadBytes(SettingsPath()), settingsBefore);
  EXPECT_EQ(Main().Picture()->Picture(), pictureBefore);
  EXPECT_EQ(ClientSize(), ClientFor(QSize(104, 54)));
  EXPECT_EQ(Main().windowTitle(), QStringLiteral("Tavlo - ") + good);
  EXPECT_EQ(MenuEntries(), QStringList{good});
  // The two unreadable files were reported, naming the file; the missing one silently skipped.
  const auto messages = dialogs_.CallsOf("message");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_TRUE(messages[0].text.contains(cut)) << messages[0].text.toStdString();
  EXPECT_TRUE(messages[1].text.contains(text)) << messages[1].text.toStdString();
}

TEST_F(ImageCommandsTest, RecentListIsOrderedByFirstOpeningAndKeepsOneKeyMore) {
  StartApp();
  EXPECT_FALSE(Main().RecentItem(0)->isVisible());
  QStringList paths;
  for (const char* name : {"A.png", "B.png", "C.png", "D.png", "E.png"})
    paths << MakePicture(QString::fromLatin1(name));
  for (const QString& p : paths) OpenPicture(p);
  EXPECT_EQ(MenuEntries(), (QStringList{paths[4], paths[3], paths[2], paths[1]}));
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(Recent(i), paths[5 - i]) << i;
  EXPECT_EQ(Recent(6), QString());

  // Opening a listed picture again, by the dialog or by the menu, moves nothing.
  const QByteArray before = ReadBytes(SettingsPath());
  OpenPicture(paths[2]);
  EXPECT_EQ(ReadBytes(SettingsPath()), before);
  Main().RecentItem(4)->trigger();  // B
  EXPECT_EQ(Main().windowTitle(), QStringLiteral("Tavlo - ") + paths[1]);
  EXPECT_EQ(ReadBytes(SettingsPath()), before);
  EXPECT_EQ(MenuEntries(), (QStringList{paths[4], paths[3], paths[2], paths[1]}));
}

TEST_F(ImageCommandsTest, OpeningABThenAAgainLeavesBA) {
  StartApp();
  const QString a = MakePicture(QStringLiteral("a.png"));
  const QString b = MakePicture(QStringLiteral("b.png"));
  OpenPicture(a);
  OpenPicture(b);
  const QByteArray before = ReadBytes(SettingsPath());
  OpenPicture(a);
  EXPECT_EQ(MenuEntries(), (QStringList{b, a}));
  EXPECT_EQ(ReadBytes(SettingsPath()), before);
}

TEST_F(ImageCommandsTest, NamesDifferingInCaseAreTwoEntries) {
  StartApp();
  const QString lower = MakePicture(QStringLiteral("a.png"));
  const QString upper = MakePicture(QStringLiteral("A.png"));
  OpenPicture(lower);
  OpenPicture(upper);
  EXPECT_EQ(MenuEntries(), (QStringList{upper, lower}));
}

TEST_F(ImageCommandsTest, ChoosingARecentEntryReopensWithoutTouchingTheImageDirectory) {
  StartApp();
  const QString first = MakePicture(QStringLiteral("first.png"), {20, 10}, 0xFFFF0000u, "one");
  const QString second = MakePicture(QStringLiteral("second.png"), {30, 15}, 0xFF00FF00u, "two");
  OpenPicture(first);
  OpenPicture(second);
  ASSERT_EQ(MenuEntries(), (QStringList{second, first}));
  Main().RecentItem(2)->trigger();
  EXPECT_EQ(ClientSize(), ClientFor(QSize(24, 14)));
  EXPECT_EQ(Main().windowTitle(), QStringLiteral("Tavlo - ") + first);
  EXPECT_EQ(Setting("frmMain", "Imagepath"), TempPath(QStringLiteral("two/")));

  // A recent picture that has since been deleted: nothing at all happens.
  ASSERT_TRUE(QFile::remove(second));
  const QByteArray before = ReadBytes(SettingsPath());
  Main().RecentItem(1)->trigger();
  EXPECT_EQ(ClientSize(), ClientFor(QSize(24, 14)));
  EXPECT_EQ(Main().windowTitle(), QStringLiteral("Tavlo - ") + first);
  EXPECT_EQ(ReadBytes(SettingsPath()), before);
  EXPECT_EQ(MenuEntries(), (QStringList{second, first}));
  EXPECT_TRUE(dialogs_.CallsOf("message").empty());
}

TEST_F(ImageCommandsTest, RecentMaxZeroShowsOnlyTheSeparatorAndOverwritesTheFirstKey) {
  WriteBytes(SettingsPath(), "[Recent]\r\nMax=0\r\n");
  StartApp();
  const QString a = MakePicture(QStringLiteral("a.png"));
  const QString b = MakePicture(QStringLiteral("b.png"));
  OpenPicture(a);
  OpenPicture(b);
  EXPECT_TRUE(Main().RecentItem(0)->isVisible());
  EXPECT_TRUE(MenuEntries().isEmpty());
  EXPECT_EQ(Recent(1), b);
  EXPECT_EQ(Recent(2), QString());
}

TEST_F(ImageCommandsTest, RecentMaxAboveFourFillsFourSlotsAndStoresMaxPlusOneKeys) {
  WriteBytes(SettingsPath(), "[Recent]\r\nMax=6\r\n");
  StartApp();
  QStringList paths;
  for (int i = 0; i < 8; ++i) paths << MakePicture(QStringLiteral("p%1.png").arg(i));
  for (const QString& p : paths) OpenPicture(p);
  EXPECT_EQ(MenuEntries(), (QStringList{paths[7], paths[6], paths[5], paths[4]}));
  for (int i = 1; i <= 7; ++i) EXPECT_EQ(Recent(i), paths[8 - i]) << i;
  EXPECT_EQ(Recent(8), QString());
}

TEST_F(ImageCommandsTest, AnAmpersandInAPathShowsAsItselfAndReopens) {
  StartApp();
  const QString path = MakePicture(QStringLiteral("R&D.png"), {12, 8});
  OpenPicture(path);
  EXPECT_EQ(Main().RecentItem(1)->text(), QString(path).replace("&", "&&"));
  EXPECT_EQ(Main().RecentItem(1)->data().toString(), path);
  OpenPicture(MakePicture(QStringLiteral("other.png")));
  Main().RecentItem(2)->trigger();
  EXPECT_EQ(Main().windowTitle(), QStringLiteral("Tavlo - ") + path);
  EXPECT_EQ(Recent(2), path);
  EXPECT_EQ(Recent(3), QString());
}

TEST_F(ImageCommandsTest, DroppingFilesLoadsTheFirstWhateverItsName) {
  StartApp();
  const QString first = MakePicture(QStringLiteral("first.txt"), {40, 30}, 0xFF123456u, "drop");
  const QString second = MakePicture(QStringLiteral("second.png"), {50, 50});
  const QString third = MakePicture(QStringLiteral("third.png"), {60, 50});
  EXPECT_EQ(Drop(Files({first, second, third})), Qt::CopyAction);
  EXPECT_EQ(ClientSize(), ClientFor(QSize(44, 34)));
  EXPECT_EQ(Main().windowTitle(), QStringLiteral("Tavlo - ") + first);
  EXPECT_EQ(Setting("frmMain", "Imagepath"), TempPath(QStringLiteral("drop/")));
  EXPECT_EQ(MenuEntries(), QStringList{first});
  EXPECT_TRUE(dialogs_.CallsOf("open").empty());
}

TEST_F(ImageCommandsTest, DragsWithoutAFileListAreRefused) {
  StartApp();
  const QByteArray before = ReadBytes(SettingsPath());
  auto* text = new QMimeData;
  text->setText(QStringLiteral("/etc/passwd"));
  EXPECT_EQ(Drop(text), Qt::IgnoreAction);
  auto* web = new QMimeData;
  web->setUrls({QUrl(QStringLiteral("https://example.org/a.png"))});
  EXPECT_EQ(Drop(web), Qt::IgnoreAction);
  // A file list offered only for moving gets no drop either: the area only copies.
  const QString path = MakePicture(QStringLiteral("x.png"));
  EXPECT_EQ(Drop(Files({path}), Qt::MoveAction), Qt::IgnoreAction);
  EXPECT_EQ(ClientSize(), ClientFor(QSize(571, 166)));
  EXPECT_EQ(ReadBytes(SettingsPath()), before);
  delete text;
  delete web;
}

TEST(ExtractPathTest, KeepsTheDirectoryWithItsSeparator) {
  EXPECT_EQ(ExtractPath(QString()), QString());
  EXPECT_EQ(ExtractPath(QStringLiteral("logo.gif")), QStringLiteral("logo.gif"));
  EXPECT_EQ(ExtractPath(QStringLiteral("/pics/logo.gif")), QStringLiteral("/pics/"));
  EXPECT_EQ(ExtractPath(QStringLiteral("/logo.gif")), QStringLiteral("/"));
}

}  // namespace
}  // namespace tavlo::testing
