// The remote check's command line as a teacher types it, with no remote and no display.

#include "support/command_line_check.h"

#include <gtest/gtest.h>

namespace {

TEST(ViretaRemote, AnswersHelpAndVersionAndRefusesUnknownOptions) {
  ExpectStandardOptions(VIRETA_REMOTE, "vireta-remote");
  EXPECT_EQ(RunInPortugueseWithoutDisplay(VIRETA_REMOTE, "--segundos x").status, 2);
}

}  // namespace
