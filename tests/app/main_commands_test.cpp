#include "app/main_commands.h"

#include <gtest/gtest.h>

#include <set>

namespace twn {
namespace {

TEST(MainCommandsTest, ClosingQuestionByWaitingAndExecutingJobs) {
  struct Case {
    int32_t waiting, executing;
    bool holds;
    const char* text;  // null: no question
  };
  const Case cases[] = {
      {0, 0, false, nullptr},
      {1, 0, false, "You have 1 sheduled Job(s). Close anyway?"},
      {0, 2, false, "You have 2 executing Job(s). Close anyway?"},
      {1, 2, false, "You have 1 sheduled and 2 executing Jobs. Close anyway?"},
      // After a command-line run that closes the program, scheduled jobs ask nothing...
      {3, 0, true, nullptr},
      // ...but a run still going does.
      {3, 1, true, "You have 3 sheduled and 1 executing Jobs. Close anyway?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.waiting << "/" << c.executing << "/" << c.holds);
    const auto question = ClosingQuestion(c.waiting, c.executing, c.holds);
    ASSERT_EQ(c.text != nullptr, question.has_value());
    if (!question) continue;
    EXPECT_EQ("Confirm closing application", question->Title);
    EXPECT_EQ(c.text, question->Text);
  }
}

// Every command appears in exactly one menu, and the menus, the context menu and the toolbar
// name only real commands; two menu items show other captions than the command's own.
TEST(MainCommandsTest, MenusHoldEveryCommandOnce) {
  std::multiset<int32_t> seen;
  for (const TMenuLayout& menu : MainMenus())
    for (const TMainCommand command : menu.Items)
      if (command != cmSeparator) seen.insert(command);
  for (int32_t command = 0; command < kMainCommandCount; ++command)
    EXPECT_EQ(1u, seen.count(command)) << MainCommandInfo(TMainCommand(command)).Caption;
  for (const TMainCommand command : ContextMenuItems())
    EXPECT_TRUE(command == cmSeparator || (command >= 0 && command < cmHelpContents));
  for (const TToolButton& button : ToolbarButtons())
    EXPECT_EQ(button.Command == cmSeparator, button.Caption.empty());
  EXPECT_EQ("Stop selected executing/waiting Jobs", MenuCaption("&Job", cmStop));
  EXPECT_EQ("Duplicate Job", MenuCaption("&Edit", cmDuplicate));
  EXPECT_EQ("Stop executing/waiting Jobs", MenuCaption("", cmStop));
}

}  // namespace
}  // namespace twn
