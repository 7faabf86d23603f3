#include "about/machine_info.h"

#include <gtest/gtest.h>

#include "about_doubles.h"

namespace tavlo::testing {
namespace {

TEST(FullNameFromComment, TakesTheTextBeforeTheFirstComma) {
  EXPECT_EQ(FullNameFromComment("Ada Lovelace,Room 4,555-0100,,"), "Ada Lovelace");
  EXPECT_EQ(FullNameFromComment("  Ada Lovelace  "), "Ada Lovelace");
  EXPECT_EQ(FullNameFromComment(QString::fromUtf8("Zoë Ødegård")),
            QString::fromUtf8("Zoë Ødegård"));
  EXPECT_EQ(FullNameFromComment(",,,"), "");
  EXPECT_EQ(FullNameFromComment(""), "");
}

TEST(GetKeyValue, AnswersTheRegisteredOwnerAndOrganisationOnly) {
  FakeMachine machine;
  machine.fullName = "Ada Lovelace";
  machine.organisation = "Analytical Works";
  EXPECT_EQ(GetKeyValue(kRegisteredOwner), "Ada Lovelace");
  EXPECT_EQ(GetKeyValue(kRegisteredOrganization), "Analytical Works");
  EXPECT_EQ(GetKeyValue("PATH"), "");
  EXPECT_EQ(GetKeyValue(""), "");
}

TEST(FindSystemInfoTool, TakesTheFirstProgramOfTheListThatIsInstalled) {
  FakeMachine machine;
  EXPECT_EQ(FindSystemInfoTool(), "");

  const QStringList programs = SystemInfoPrograms();
  ASSERT_GE(programs.size(), 2);
  machine.installed[programs.last()] = "/usr/bin/last";
  EXPECT_EQ(FindSystemInfoTool(), "/usr/bin/last");
  machine.installed[programs.first()] = "/usr/bin/first";
  EXPECT_EQ(FindSystemInfoTool(), "/usr/bin/first");
  EXPECT_TRUE(machine.started.isEmpty());
}

TEST(SystemMachine, FindsProgramsOnTheSearchPathOnly) {
  EXPECT_FALSE(Machine().FindProgram("sh").isEmpty());
  EXPECT_EQ(Machine().FindProgram("no-such-program-of-tavlo"), "");
}

}  // namespace
}  // namespace tavlo::testing
