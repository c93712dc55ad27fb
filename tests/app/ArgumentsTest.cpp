// The command line: what each combination selects, and every usage error naming its problem.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/Arguments.h"

namespace {

using app::FrontEnd;
using app::Mode;
using testing::ElementsAre;
using testing::HasSubstr;

struct Accepted {
  std::vector<std::string> args;
  Mode mode;
  FrontEnd frontEnd;
  std::vector<std::string> passOn;
};

TEST(Arguments, AcceptedLines) {
  const Accepted cases[] = {
      {{}, Mode::Interactive, FrontEnd::Automatic, {}},
      {{"--gui", "UserId=scott/tiger@DEMO"},
       Mode::Interactive,
       FrontEnd::Gui,
       {"UserId=scott/tiger@DEMO"}},
      {{"--console", "--console"}, Mode::Interactive, FrontEnd::Console, {}},
      {{"--batch", "userid=a/b@c", "OCIDLL=/x/libclntsh.so", "oraclehome=/opt/oracle"},
       Mode::Batch,
       FrontEnd::Automatic,
       {"userid=a/b@c", "OCIDLL=/x/libclntsh.so", "oraclehome=/opt/oracle"}},
      // Several logons to test are a batch run's business.
      {{"--batch", "UserId=a/b@c", "UserId=d/e@f"},
       Mode::Batch,
       FrontEnd::Automatic,
       {"UserId=a/b@c", "UserId=d/e@f"}},
      {{"--diagnose", "ORACLEHOME=OraClient19"},
       Mode::Diagnose,
       FrontEnd::Automatic,
       {"ORACLEHOME=OraClient19"}},
      // A password may hold an equals sign; only the key before the first one counts.
      {{"UserId=scott/ti=ger@DEMO"},
       Mode::Interactive,
       FrontEnd::Automatic,
       {"UserId=scott/ti=ger@DEMO"}},
      // Information wins over anything else on the line, conflicts included.
      {{"--batch", "--diagnose", "--help"}, Mode::Help, FrontEnd::Automatic, {}},
      {{"-h"}, Mode::Help, FrontEnd::Automatic, {}},
      {{"--gui", "--version", "UserId=a/b", "UserId=c/d"},
       Mode::Version,
       FrontEnd::Gui,
       {"UserId=a/b", "UserId=c/d"}},
  };
  for (const Accepted& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const app::Arguments a = app::ParseArguments(c.args);
    EXPECT_EQ(a.error, "");
    EXPECT_EQ(a.mode, c.mode);
    EXPECT_EQ(a.frontEnd, c.frontEnd);
    EXPECT_EQ(a.passOn, c.passOn);
  }
}

struct Refused {
  std::vector<std::string> args;
  std::string problem;  // what the message must name
};

TEST(Arguments, UsageErrorsNameTheProblem) {
  const Refused cases[] = {
      {{"--batch", "--diagnose"}, "--batch and --diagnose cannot be used together"},
      {{"--diagnose", "UserId=a/b", "--batch"}, "--diagnose and --batch cannot be used together"},
      {{"--gui", "--console"}, "--gui and --console cannot be used together"},
      {{"--verbose"}, "unknown option --verbose"},
      {{"-v"}, "unknown option -v"},
      {{"-"}, "unknown option -"},
      {{"scott/tiger@DEMO"}, "'scott/tiger@DEMO' is neither an option nor a setting KEY=VALUE"},
      {{"=x"}, "'=x' is neither an option nor a setting"},
      {{"User=scott/tiger"}, "unknown setting User="},
      {{"UserId=a/b@c", "USERID=d/e@f"}, "UserId= is given 2 times"},
      {{"--console", "UserId=a", "UserId=b", "UserId=c"}, "UserId= is given 3 times"},
      {{"--batch", "OCIDLL=a", "OCIDLL=b"}, "OCIDLL= is given 2 times"},
  };
  for (const Refused& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    EXPECT_THAT(app::ParseArguments(c.args).error, HasSubstr(c.problem));
  }
}

TEST(Arguments, UsageNamesEverySwitch) {
  for (const char* word : {"--gui", "--console", "--batch", "--diagnose", "--version",
                           "UserId=", "OCIDLL=", "ORACLEHOME="})
    EXPECT_THAT(app::UsageText(), HasSubstr(word));
}

}  // namespace
