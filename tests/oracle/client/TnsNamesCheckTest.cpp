// The parenthesis check of tnsnames.ora: where a mistake starts and which names it hides.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "oracle/client/TnsNamesCheck.h"

namespace oracle {
namespace {

using testing::ElementsAreArray;

struct Case {
  const char* title;
  const char* text;
  TnsNamesBalance::Kind kind;
  int line;
  const char* name;
  std::vector<std::string> hidden;
};

TEST(TnsNamesCheck, FindsTheMistakeAndWhatItHides) {
  const Case cases[] = {
      {"balanced, definitions over several lines",
       "# names\r\nDEMO =\r\n  (DESCRIPTION =\r\n    (ADDRESS = (HOST = h))\r\n  )\r\nB = (x)\r\n",
       TnsNamesBalance::Balanced,
       0,
       "",
       {}},
      {"a definition that never closes hides the rest",
       "A = (x)\nPROD = (DESCRIPTION =\n  (ADDRESS = (HOST = h)\n\nTEST = (y)\nDEV, QA = (z)\n",
       TnsNamesBalance::Unclosed,
       2,
       "PROD",
       {"TEST", "DEV, QA"}},
      {"left open at the end with nothing after it",
       "A = (x)\nB = (y\n",
       TnsNamesBalance::Unclosed,
       2,
       "B",
       {}},
      {"a name on its own line, its descriptor below",
       "A =\n  (DESCRIPTION =\nB = (y)\n",
       TnsNamesBalance::Unclosed,
       1,
       "A",
       {"B"}},
      {"one closing parenthesis too many",
       "A = (x))\nB = (y)\nC = (z)\n",
       TnsNamesBalance::ExtraClose,
       1,
       "",
       {"B"}},
      {"an unclosed one made good later still hid names",
       "A = (x\nB = (y)\nC = (z))\nD = (w)\n",
       TnsNamesBalance::Unclosed,
       1,
       "A",
       {"B", "C"}},
      {"a comment in the first column is not counted",
       "#A = (\nB = (y)\n",
       TnsNamesBalance::Balanced,
       0,
       "",
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    const TnsNamesBalance b = CheckTnsNamesBalance(c.text);
    EXPECT_EQ(b.kind, c.kind);
    EXPECT_EQ(b.line, c.line);
    EXPECT_EQ(b.name, c.name);
    EXPECT_THAT(b.hiddenNames, ElementsAreArray(c.hidden));
  }
}

}  // namespace
}  // namespace oracle
