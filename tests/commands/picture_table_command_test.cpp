// "Use the picture's colour table" where there is none to use: a picture that is no GIF, and a GIF
// whose frames' tables hold more than a palette's 256 colours. Each is said and changes nothing.
#include <gtest/gtest.h>

#include "commands/picture_table_command.h"
#include "palette_model/palette_document.h"
#include "support/app_fixture.h"

namespace tavlo::testing {
namespace {

class PictureTableCommandTest : public AppFixture {};

TEST_F(PictureTableCommandTest, NoTableOrTooManyColoursIsSaidAndChangesNothing) {
  StartApp();
  const PaletteState before = Document().State();
  Trigger("mnuUsePictureTable");  // the start picture is no GIF
  GifColorTable many;
  many.local = true;
  many.count = 11370;
  UsePictureColorTable(&Main(), Document(), many);
  const auto messages = dialogs_.CallsOf("message");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "The picture has no colour table.");
  EXPECT_EQ(messages[1].text,
            "The frames hold 11,370 colours in all. A palette holds 256: \"Palette from "
            "picture\" chooses them.");
  EXPECT_EQ(Document().State(), before);
  EXPECT_EQ(Document().UndoCount(), 0);
}

}  // namespace
}  // namespace tavlo::testing
