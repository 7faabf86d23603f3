#include "about/url_link.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "about/about_texts.h"
#include "about/property_bag.h"
#include "about_doubles.h"
#include "support/scripted_dialogs.h"

namespace tavlo::testing {
namespace {

const QString kAddress = QStringLiteral("https://palettes.example/list?page=2");

class URLLinkTest : public ::testing::Test {
 protected:
  void Press(Qt::MouseButton button) { QTest::mousePress(link_.Label(), button); }

  ScriptedDialogs dialogs_;
  RecordingOpener opener_;
  URLLink link_;
};

TEST_F(URLLinkTest, NewInstanceNamesItsMakerWithoutToolTip) {
  EXPECT_EQ(link_.Label()->objectName(), "lblURL");
  EXPECT_EQ(link_.Text(), kDefaultLinkText);
  EXPECT_EQ(link_.URL(), kDefaultLinkAddress);
  EXPECT_FALSE(link_.ShowToolTip());
  EXPECT_TRUE(link_.Label()->toolTip().isEmpty());
  EXPECT_EQ(link_.Label()->pos(), QPoint(0, 0));
  EXPECT_GT(link_.Label()->width(), 0);
}

TEST_F(URLLinkTest, OnlyTheLeftButtonDoesAnything) {
  link_.SetURL(kAddress);
  int announced = 0;
  QObject::connect(&link_, &URLLink::GoToURL, [&](QString&, bool&) { ++announced; });
  Press(Qt::RightButton);
  Press(Qt::MiddleButton);
  EXPECT_EQ(announced, 0);
  EXPECT_TRUE(opener_.opened.empty());

  Press(Qt::LeftButton);
  EXPECT_EQ(announced, 1);
  ASSERT_EQ(opener_.opened.size(), 1u);
  EXPECT_EQ(opener_.opened[0].url, QUrl(kAddress));
  EXPECT_TRUE(opener_.opened[0].busyPointer);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(dialogs_.Calls().empty());
}

TEST_F(URLLinkTest, HandlerSeesTheAddressAndMayRewriteIt) {
  link_.SetURL(kAddress);
  QString seen;
  bool seenCancel = true;
  QObject::connect(&link_, &URLLink::GoToURL, [&](QString& url, bool& cancel) {
    seen = url;
    seenCancel = cancel;
    url = QStringLiteral("https://mirror.example/");
  });
  Press(Qt::LeftButton);
  EXPECT_EQ(seen, kAddress);
  EXPECT_FALSE(seenCancel);
  ASSERT_EQ(opener_.opened.size(), 1u);
  EXPECT_EQ(opener_.opened[0].url, QUrl("https://mirror.example/"));
  EXPECT_EQ(link_.URL(), kAddress);  // the rewrite applies to this click only
}

TEST_F(URLLinkTest, HandlerThatCancelsStopsEverything) {
  QObject::connect(&link_, &URLLink::GoToURL, [](QString&, bool& cancel) { cancel = true; });
  Press(Qt::LeftButton);
  EXPECT_TRUE(opener_.opened.empty());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(dialogs_.Calls().empty());
}

TEST_F(URLLinkTest, FilesAndAddressesWithoutSchemeAreOpenedAsTheDesktopExpects) {
  for (const QString& address :
       {QStringLiteral("/tmp/my palettes/warm.pal"), QStringLiteral("www.example.org"),
        QStringLiteral("mailto:someone@example.org")}) {
    link_.SetURL(address);
    Press(Qt::LeftButton);
  }
  ASSERT_EQ(opener_.opened.size(), 3u);
  EXPECT_EQ(opener_.opened[0].url, QUrl::fromLocalFile("/tmp/my palettes/warm.pal"));
  EXPECT_EQ(opener_.opened[1].url, QUrl("http://www.example.org"));
  EXPECT_EQ(opener_.opened[2].url, QUrl("mailto:someone@example.org"));
}

TEST_F(URLLinkTest, AddressThatCannotBeOpenedIsReportedWithThePointerBackToNormal) {
  link_.SetURL(QStringLiteral("http://bad host/%41"));
  Press(Qt::LeftButton);
  link_.SetURL(QString());
  Press(Qt::LeftButton);

  EXPECT_TRUE(opener_.opened.empty());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  const auto messages = dialogs_.CallsOf("message");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].title, "Tavlo");
  EXPECT_EQ(messages[0].text,
            "Unable to load 'http://bad host/%41' : Invalid hostname (contains invalid "
            "characters) (Error 2)");
  EXPECT_EQ(messages[1].text, "Unable to load '' : The address is empty (Error 1)");
}

TEST_F(URLLinkTest, ToolTipFollowsShowToolTipAndTheAddressAtOnce) {
  link_.SetURL(kAddress);
  EXPECT_TRUE(link_.Label()->toolTip().isEmpty());
  link_.SetShowToolTip(true);
  EXPECT_EQ(link_.Label()->toolTip(), kAddress);
  link_.SetURL(QStringLiteral("https://other.example/"));
  EXPECT_EQ(link_.Label()->toolTip(), "https://other.example/");
  link_.SetShowToolTip(false);
  EXPECT_TRUE(link_.Label()->toolTip().isEmpty());
}

TEST_F(URLLinkTest, LabelSizesToItsText) {
  link_.SetText(QStringLiteral("Home"));
  const QSize shortSize = link_.Label()->size();
  link_.SetText(QStringLiteral("The complete list of palettes"));
  const QSize longSize = link_.Label()->size();
  EXPECT_GT(longSize.width(), shortSize.width());
  EXPECT_EQ(longSize.height(), shortSize.height());
  EXPECT_EQ(longSize, link_.fontMetrics().size(0, link_.Text()));
  EXPECT_EQ(link_.Label()->pos(), QPoint(0, 0));
  EXPECT_EQ(link_.sizeHint(), longSize);

  link_.SetText(QStringLiteral("two\nlines"));
  EXPECT_GT(link_.Label()->height(), longSize.height());
}

TEST_F(URLLinkTest, PropertiesSurviveWritingAndReading) {
  link_.SetText(QStringLiteral("Palettes"));
  link_.SetURL(kAddress);
  link_.SetShowToolTip(true);
  PropertyBag bag;
  link_.WriteProperties(bag);
  EXPECT_EQ(bag.Values().size(), 3);

  URLLink restored;
  restored.ReadProperties(bag);
  EXPECT_EQ(restored.Text(), "Palettes");
  EXPECT_EQ(restored.URL(), kAddress);
  EXPECT_TRUE(restored.ShowToolTip());
  EXPECT_EQ(restored.Label()->toolTip(), kAddress);
  EXPECT_EQ(restored.Label()->size(), restored.fontMetrics().size(0, "Palettes"));
}

TEST_F(URLLinkTest, DefaultsAreNotStoredAndComeBackWhenNothingUsableIsStored) {
  PropertyBag bag;
  link_.WriteProperties(bag);
  EXPECT_TRUE(bag.Values().isEmpty());

  // A value set back to its default leaves no stale entry behind.
  link_.SetShowToolTip(true);
  link_.WriteProperties(bag);
  link_.SetShowToolTip(false);
  link_.WriteProperties(bag);
  EXPECT_TRUE(bag.Values().isEmpty());

  URLLink restored;
  restored.SetText(QStringLiteral("before"));
  restored.SetURL(kAddress);
  restored.SetShowToolTip(true);
  restored.ReadProperties(PropertyBag(
      {{"Text", 42}, {"URL", QVariantList{1, 2}}, {"ShowToolTip", QStringLiteral("perhaps")}}));
  EXPECT_EQ(restored.Text(), kDefaultLinkText);
  EXPECT_EQ(restored.URL(), kDefaultLinkAddress);
  EXPECT_FALSE(restored.ShowToolTip());
  EXPECT_TRUE(restored.Label()->toolTip().isEmpty());
}

TEST(PropertyBag, FlagsReadFromTheirCommonStoredForms) {
  const PropertyBag bag({{"a", true},
                         {"b", QStringLiteral("False")},
                         {"c", QStringLiteral("TRUE")},
                         {"d", -1},
                         {"e", QStringLiteral("0")},
                         {"f", 2.5},
                         {"g", QStringLiteral("")}});
  EXPECT_TRUE(bag.ReadFlag("a", false));
  EXPECT_FALSE(bag.ReadFlag("b", true));
  EXPECT_TRUE(bag.ReadFlag("c", false));
  EXPECT_TRUE(bag.ReadFlag("d", false));
  EXPECT_FALSE(bag.ReadFlag("e", true));
  EXPECT_TRUE(bag.ReadFlag("f", true));  // not a form of truth value: the default
  EXPECT_FALSE(bag.ReadFlag("f", false));
  EXPECT_TRUE(bag.ReadFlag("g", true));
  EXPECT_TRUE(bag.ReadFlag("missing", true));
  EXPECT_EQ(bag.ReadText("missing", "x"), "x");
}

}  // namespace
}  // namespace tavlo::testing
