#include <QMenuBar>

#include "app/process_state.h"
#include "image/picture_area.h"
#include "palette/palette_window.h"
#include "support/app_fixture.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

class StartupTest : public AppFixture {};

TEST_F(StartupTest, FirstStartWritesOnlyRecentMax) {
  StartApp();
  EXPECT_EQ(ReadBytes(SettingsPath()), QByteArray("[Recent]\r\nMax=4\r\n"));
  EXPECT_EQ(Main().windowTitle(), QStringLiteral("Tavlo V0.9.1"));
  EXPECT_EQ(Main().centralWidget()->size(), QSize(571, 166));
  EXPECT_EQ(Process().zoomFactor, 5);
}

}  // namespace
}  // namespace tavlo::testing
