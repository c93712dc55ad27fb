// Net service names: locating tnsnames.ora, the default domain, and the file grammar.
#include "support/TestSeed.h"
#include "oracle/client/NetServiceNames.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "WindowsMachine.h"
#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OracleHome.h"
#include "oracle/client/internal/BindingState.h"
#include "oracle/core/Exception.h"

namespace oracle {
namespace {

using testing::WindowsMachine;
using Names = std::vector<std::string>;

// A Windows machine with a loadable client whose tnsnames.ora lies in C:\net (TNS_ADMIN).
class NamesMachine : public WindowsMachine {
 public:
  explicit NamesMachine(std::set<std::string> exports = testing::AllExports()) {
    addLibrary("C:\\client\\oci.dll", {std::move(exports), ""});
    process.env["TNS_ADMIN"] = "C:\\net";
  }
  void start() {
    install();
    SetOCIDLL("C:\\client\\oci.dll");
  }
};

Names AliasNames() {
  const SortedNameList* list = GetAliasList();
  return list == nullptr ? Names{"(none)"} : list->names();
}

struct GrammarCase {
  const char* title;
  const char* tnsnames;
  const char* sqlnet;  // nullptr: no sqlnet.ora
  bool strip;
  Names names;
  std::map<std::string, std::string> moreFiles = {};
};

// Test names and failure messages show the case title.
void PrintTo(const GrammarCase& c, std::ostream* out) { *out << c.title; }

const char* const kProdWorld =
    "# a comment ( with an unbalanced parenthesis\n"
    "PROD.WORLD =\n"
    "  (DESCRIPTION =\n"
    "    (ADDRESS = (PROTOCOL = TCP)(HOST = db1)(PORT = 1521))\n"
    "    (CONNECT_DATA = (SID = PROD))\n"
    "  )\n";

const GrammarCase kGrammarCases[] = {
    {"WorldDomainIsStripped", kProdWorld, "names.default_domain = world\n", false, {"PROD"}},
    {"NoSqlnetKeepsTheDomain", kProdWorld, nullptr, false, {"PROD.WORLD"}},
    {"SqlnetWithoutTheSettingKeepsTheDomain", kProdWorld, "# names.default_domain = world\n",
     false, {"PROD.WORLD"}},
    {"OtherDomainNotStrippedByDefault", "PROD.EXAMPLE.COM = (x)\nTEST = (y)\n",
     "NAMES.DEFAULT_DOMAIN=example.com\r\n", false, {"PROD.EXAMPLE.COM", "TEST"}},
    {"OtherDomainStrippedWhenAsked", "PROD.EXAMPLE.COM = (x)\nTEST = (y)\n",
     "sqlnet.expire_time = 10\n\tnames.default_domain\t=  example.com \n", true,
     {"PROD", "TEST"}},
    {"DuplicatesDifferingInCaseGiveOneEntry", "prod = (a)\nPROD = (b)\nProd=(c)\n", nullptr,
     false, {"prod"}},
    {"HashInTheFirstColumnIsAComment", "#PROD = (a)\nREAL = (b)\n", nullptr, false, {"REAL"}},
    {"HashAfterABlankIsAName", " #PROD = (a)\n", nullptr, false, {"#PROD"}},
    {"HashAndBlankBeforeTheNameAreTwoItems", " # PROD = (a)\n", nullptr, false, {"#", "PROD"}},
    {"TabIsDroppedWithoutABlank", "PR\tOD = (a)\n", nullptr, false, {"PROD"}},
    {"NameListGivesEveryName", "a, b c,\"d e\" = (x)\n", nullptr, false,
     {"a", "b", "c", "d e"}},
    {"OnlyTheLastNameOfAListIsStripped", "A.WORLD, B.WORLD = (x)\n",
     "names.default_domain=WORLD\n", false, {"A.WORLD", "B"}},
    {"QuotesDoubledInsideStandForOne", "\"x\"\"y\" = (a)\n", nullptr, false, {"x\"y"}},
    {"EqualsInsideADescriptorIsNotADefinition",
     "X = (DESCRIPTION =\n (ADDRESS = (HOST = h))\n (CONNECT_DATA =\n (SID = s)\n )\n)\n", nullptr,
     false, {"X"}},
    {"NameWithoutEqualsOnItsLineIsNotAnAlias", "Y\n= (a)\nZ = (b)\n", nullptr, false, {"Z"}},
    {"UnclosedDescriptorHidesWhatFollows", "A = (DESCRIPTION = (ADDRESS =\nB = (x)\n", nullptr,
     false, {"A"}},
    {"StrayClosingParenthesisHidesWhatFollows", ")\nC = (x)\nD = (y)\n", nullptr, false, {}},
    {"CarriageReturnsAndMixedLineEnds", "A = (x)\rB = (y)\r\nC = (z)\n", nullptr, false,
     {"A", "B", "C"}},
    {"IncludedFileAddsItsNames", "A = (x)\nIFILE = C:\\net\\more.ora\n", nullptr, false,
     {"A", "M1", "M2"}, {{"C:\\net\\more.ora", "M1 = (x)\nM2 = (y)\n"}}},
    {"IncludeNamedOnTheNextLine", "ifile =\nB = (x)\n\n  C:\\net\\more.ora\n", nullptr, false,
     {"B", "M1"}, {{"C:\\net\\more.ora", "M1 = (x)\n"}}},
    {"IncludeRelativeToTheCurrentDirectory", "ifile = more.ora\n", nullptr, false, {"REL"},
     {{"more.ora", "REL = (x)\n"}}},
    {"IncludeOfANetworkPath", "ifile = \\\\\\server\\share\\x.ora\n", nullptr, false, {"UNC"},
     {{"\\\\server\\share\\x.ora", "UNC = (x)\n"}}},
    {"IncludeOfAMissingFileAddsNothing", "ifile = C:\\nowhere.ora\nA = (x)\n", nullptr, false,
     {"A"}},
    {"IncludeOfItselfStops", "A = (x)\nifile = C:\\net\\tnsnames.ora\nB = (y)\n", nullptr, false,
     {"A", "B"}},
    {"IncludeCycleThroughOtherFilesStops", "A = (x)\nifile = C:\\net\\b.ora\n", nullptr, false,
     {"A", "B", "C"},
     {{"C:\\net\\b.ora", "B = (x)\nifile = C:\\net\\c.ora\n"},
      {"C:\\net\\c.ora", "C = (x)\nIFILE = c:\\NET\\B.ORA\nifile=C:\\net\\tnsnames.ora\n"}}},
    {"MissingTnsnamesGivesAnEmptyList", nullptr, nullptr, false, {}},
};

class Grammar : public ::testing::TestWithParam<GrammarCase> {};

TEST_P(Grammar, Aliases) {
  const GrammarCase& c = GetParam();
  NamesMachine machine;
  if (c.tnsnames != nullptr) machine.files.addFile("C:\\net\\tnsnames.ora", c.tnsnames);
  if (c.sqlnet != nullptr) machine.files.addFile("C:\\net\\sqlnet.ora", c.sqlnet);
  for (const auto& [path, content] : c.moreFiles) machine.files.addFile(path, content);
  machine.start();
  SetStripDefaultDomain(c.strip);
  EXPECT_EQ(AliasNames(), c.names);
}

INSTANTIATE_TEST_SUITE_P(TnsnamesOra, Grammar, ::testing::ValuesIn(kGrammarCases),
                         [](const auto& p) { return std::string(p.param.title); });

TEST(SplitNameList, ItemsAsACommaSeparatedText) {
  const std::pair<const char*, Names> cases[] = {
      {"a,b", {"a", "b"}},
      {"  a  b ", {"a", "b"}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a"}},
      {"\"a b\"c", {"a b", "c"}},
      {"\"unterminated", {"unterminated"}},
      {"", {}},
  };
  for (const auto& [text, names] : cases) EXPECT_EQ(SplitNameList(text), names) << text;
}

struct LocationCase {
  const char* title;
  std::function<void(WindowsMachine&)> describe;
  std::set<std::string> exports;
  const char* file;
};

// Test names and failure messages show the case title.
void PrintTo(const LocationCase& c, std::ostream* out) { *out << c.title; }

void OracleHome(WindowsMachine& m) {
  m.regString("SOFTWARE\\ORACLE\\ALL_HOMES", "HOME_COUNTER", "1");
  m.regString("SOFTWARE\\ORACLE\\HOME0", "ORACLE_HOME", "C:\\ora");
  m.regString("SOFTWARE\\ORACLE\\HOME0", "ORACLE_HOME_NAME", "Ora");
  m.addHome("C:\\ora");
  m.process.env["PATH"] = "C:\\ora\\bin";
}

const LocationCase kLocationCases[] = {
    {"EnvironmentFirst",
     [](WindowsMachine& m) {
       OracleHome(m);
       m.regString("SOFTWARE\\ORACLE\\HOME0", "TNS_ADMIN", "C:\\reg");
       m.process.env["TNS_ADMIN"] = "C:\\env\\";
     },
     testing::AllExports(), "C:\\env\\tnsnames.ora"},
    {"HomeKeyTnsAdmin",
     [](WindowsMachine& m) {
       OracleHome(m);
       m.regString("SOFTWARE\\ORACLE\\HOME0", "TNS_ADMIN", "C:\\reg");
       m.regString("SOFTWARE\\ORACLE", "TNS_ADMIN", "C:\\top");
     },
     testing::AllExports(), "C:\\reg\\tnsnames.ora"},
    {"OracleKeyTnsAdmin",
     [](WindowsMachine& m) {
       OracleHome(m);
       m.regString("SOFTWARE\\ORACLE", "TNS_ADMIN", "C:\\top");
       m.regString("SOFTWARE\\ORACLE\\HOME0", "NET80", "C:\\net80");
     },
     testing::AllExports(), "C:\\top\\tnsnames.ora"},
    {"Net80FolderFromTheRegistry",
     [](WindowsMachine& m) {
       OracleHome(m);
       m.regString("SOFTWARE\\ORACLE\\HOME0", "NET80", "C:\\ora\\net80");
       m.regString("SOFTWARE\\ORACLE\\HOME0", "NET20", "C:\\ora\\net20");
     },
     testing::AllExports(), "C:\\ora\\net80\\Admin\\tnsnames.ora"},
    {"Net20FolderForAnOci7Client",
     [](WindowsMachine& m) {
       OracleHome(m);
       m.regString("SOFTWARE\\ORACLE\\HOME0", "NET80", "C:\\ora\\net80");
       m.regString("SOFTWARE\\ORACLE\\HOME0", "NET20", "C:\\ora\\net20");
     },
     testing::Oci7Exports(), "C:\\ora\\net20\\Admin\\tnsnames.ora"},
    {"HomeNetworkAdmin", OracleHome, testing::AllExports(),
     "C:\\ora\\Network\\Admin\\tnsnames.ora"},
    {"HomeNet80AdminForANet8ClientWithout81Calls", OracleHome,
     testing::Exports({egOCI7, egNet8}), "C:\\ora\\Net80\\Admin\\tnsnames.ora"},
    {"NoHomeGivesARelativePath", [](WindowsMachine&) {}, testing::AllExports(),
     "Network\\Admin\\tnsnames.ora"},
};

class Location : public ::testing::TestWithParam<LocationCase> {};

TEST_P(Location, OfTnsnamesOra) {
  const LocationCase& c = GetParam();
  WindowsMachine machine;
  c.describe(machine);
  machine.addLibrary("C:\\ora\\bin\\oci.dll", {c.exports, ""});
  machine.install();
  SetOCIDLL("C:\\ora\\bin\\oci.dll");
  EXPECT_EQ(GetTNSNamesFile(), c.file);
  EXPECT_EQ(TNSNamesFile(), c.file);
}

INSTANTIATE_TEST_SUITE_P(WindowsLayout, Location, ::testing::ValuesIn(kLocationCases),
                         [](const auto& p) { return std::string(p.param.title); });

TEST(AliasList, NoneWithoutAClientAndBuiltOnceWithOne) {
  NamesMachine machine;
  machine.files.addFile("C:\\net\\tnsnames.ora", "A = (x)\n");
  machine.install();  // no library chosen: there is no home
  EXPECT_EQ(GetAliasList(), nullptr);
  EXPECT_EQ(GetAliasList(), nullptr);  // and tried again
  EXPECT_THROW(GetTNSNamesFile(), Exception);

  SetOCIDLL("C:\\client\\oci.dll");
  const SortedNameList* list = GetAliasList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->names(), Names{"A"});
  const int reads = machine.files.reads();
  EXPECT_EQ(GetAliasList(), list);  // served from memory
  EXPECT_EQ(machine.files.reads(), reads);

  FreeOCI();  // the next request recomputes everything
  EXPECT_EQ(TNSNamesFile(), "");
  machine.files.addFile("C:\\net\\tnsnames.ora", "B = (x)\n");
  EXPECT_EQ(AliasNames(), Names{"B"});
}

TEST(AliasList, DefaultDomainOnlyANonEmptyValueIsKept) {
  NamesMachine machine;
  machine.files.addFile("C:\\net\\sqlnet.ora", "names.directory_path = (TNSNAMES)\n");
  machine.start();
  EXPECT_EQ(GetDefaultDomain(), "");
  machine.files.addFile("C:\\net\\sqlnet.ora", "names.default_domain = us.example.com\n");
  EXPECT_EQ(GetDefaultDomain(), "us.example.com");  // looked up again
  machine.files.addFile("C:\\net\\sqlnet.ora", "names.default_domain = other\n");
  EXPECT_EQ(GetDefaultDomain(), "us.example.com");  // kept
}

TEST(AliasList, SqlnetIsReadOncePerBuildWhenItSetsNoDomain) {
  NamesMachine machine;
  std::string tnsnames;
  for (int i = 0; i < 50; ++i) tnsnames += "A" + std::to_string(i) + " = (x)\n";
  machine.files.addFile("C:\\net\\tnsnames.ora", tnsnames);
  machine.files.addFile("C:\\net\\sqlnet.ora", "sqlnet.expire_time = 10\n");
  machine.start();
  const SortedNameList* list = GetAliasList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->count(), 50u);
  EXPECT_EQ(machine.files.reads(), 2);  // tnsnames.ora and sqlnet.ora, once each
}

TEST(AliasList, IncludedFilesAreNotedForTheDiagnosis) {
  NamesMachine machine;
  machine.files.addFile("C:\\net\\tnsnames.ora",
                        "ifile = C:\\net\\a.ora\nifile = C:\\none.ora\nifile = C:\\net\\a.ora\n");
  machine.files.addFile("C:\\net\\a.ora", "A = (x)\n");
  machine.start();
  EXPECT_EQ(AliasNames(), Names{"A"});
  const auto& included = internal::State().includedFiles;
  ASSERT_EQ(included.size(), 3u);
  EXPECT_EQ(included[0].path, "C:\\net\\a.ora");
  EXPECT_EQ(included[0].outcome, internal::IncludedFile::Read);
  EXPECT_EQ(included[1].outcome, internal::IncludedFile::Missing);
  EXPECT_EQ(included[2].outcome, internal::IncludedFile::AlreadyRead);
}

TEST(BadInput, DeepIncludeChainsStop) {
  NamesMachine machine;
  machine.files.addFile("C:\\net\\tnsnames.ora", "ifile = C:\\net\\f0.ora\n");
  for (int i = 0; i < 200; ++i) {
    machine.files.addFile("C:\\net\\f" + std::to_string(i) + ".ora",
                          "N" + std::to_string(i) + " = (x)\nifile = C:\\net\\f" +
                              std::to_string(i + 1) + ".ora\n");
  }
  machine.start();
  const SortedNameList* list = GetAliasList();
  ASSERT_NE(list, nullptr);
  EXPECT_GT(list->count(), 10u);
  EXPECT_LT(list->count(), 200u);
  EXPECT_TRUE(list->contains("N0"));
}

TEST(BadInput, BinaryJunkNeverCrashes) {
  const unsigned seed = testsupport::TestSeed();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  for (int round = 0; round < 20; ++round) {
    std::string junk(1 + random() % 20000, '\0');
    for (char& c : junk) {
      const unsigned r = random() % 16;
      c = r < 3 ? "()=,\"\n#"[random() % 7] : static_cast<char>(random() % 256);
    }
    NamesMachine machine;
    machine.files.addFile("C:\\net\\tnsnames.ora", junk);
    machine.files.addFile("C:\\net\\sqlnet.ora", junk);
    machine.start();
    SetStripDefaultDomain(round % 2 == 0);
    const SortedNameList* list = GetAliasList();
    ASSERT_NE(list, nullptr);
    for (const auto& entry : *list) {
      for (char c : entry.first) EXPECT_GE(static_cast<unsigned char>(c), 32u);
    }
  }
}

TEST(BadInput, HundredMegabyteFileWithAHugeDescriptor) {
  std::string content = "A = (DESCRIPTION =\n";
  const std::string line = "  (ADDRESS = (PROTOCOL = TCP)(HOST = host.example.com)(PORT = 1521))\n";
  content.reserve(100u * 1024 * 1024 + 100);
  while (content.size() < 100u * 1024 * 1024) content += line;
  content += ")\nB = (x)\nC.WORLD = (y)\n";
  NamesMachine machine;
  machine.files.addFile("C:\\net\\tnsnames.ora", std::move(content));
  machine.files.addFile("C:\\net\\sqlnet.ora", "names.default_domain = world\n");
  machine.start();
  EXPECT_EQ(AliasNames(), (Names{"A", "B", "C"}));
}

TEST(BadInput, HundredMegabyteLineWithoutLineEnds) {
  std::string content(100u * 1024 * 1024, '(');
  content += "A = (x)";
  NamesMachine machine;
  machine.files.addFile("C:\\net\\tnsnames.ora", std::move(content));
  machine.start();
  EXPECT_EQ(AliasNames(), Names{});
}

TEST(BadInput, UnreadableFilesReadAsMissing) {
  NamesMachine machine;
  machine.files.addUnreadableFile("C:\\net\\tnsnames.ora");
  machine.files.addUnreadableFile("C:\\net\\sqlnet.ora");
  machine.start();
  EXPECT_EQ(AliasNames(), Names{});
  EXPECT_EQ(GetDefaultDomain(), "");
}

}  // namespace
}  // namespace oracle
