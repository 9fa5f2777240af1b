// The shared command-line parsing.
#include <gtest/gtest.h>

#include <array>

#include "cli/args.h"

namespace qm::cli {
namespace {

constexpr std::array<OptionSpec, 3> kOptions{{{"--sheet", true}, {"--save", true}, {"--complete", false}}};

ParsedArgs parse(std::vector<std::string> args) { return parseArgs(args, kOptions); }

TEST(Args, ValuesFlagsAndPositionals) {
  const ParsedArgs a = parse({"a.xls", "--sheet", "学生$", "--complete", "--save=out=1.txt", "b"});
  EXPECT_EQ(a.positional, (std::vector<std::string>{"a.xls", "b"}));
  ASSERT_TRUE(a.value("--sheet"));
  EXPECT_EQ(*a.value("--sheet"), "学生$");
  EXPECT_EQ(*a.value("--save"), "out=1.txt");
  EXPECT_TRUE(a.has("--complete"));
  EXPECT_FALSE(a.help);
  EXPECT_EQ(a.value("--missing"), nullptr);
}

TEST(Args, DoubleDashEndsOptionsAndHelpIsKnownEverywhere) {
  const ParsedArgs a = parse({"--", "--sheet", "-"});
  EXPECT_EQ(a.positional, (std::vector<std::string>{"--sheet", "-"}));
  EXPECT_TRUE(parse({"x", "-h"}).help);
  EXPECT_TRUE(parse({"--help"}).help);
  // A value may start with a dash.
  EXPECT_EQ(*parse({"--sheet", "-1"}).value("--sheet"), "-1");
}

TEST(Args, Mistakes) {
  const std::vector<std::vector<std::string>> wrong{
      {"--sheets", "a"}, {"--sheet"}, {"--complete=yes"}, {"--sheet", "a", "--sheet=b"}, {"-x"}};
  for (const auto& args : wrong) EXPECT_THROW(parse(args), UsageError) << testing::PrintToString(args);
}

TEST(Args, ColumnPairs) {
  EXPECT_EQ(splitColumnPair("--key", "学号"), (std::pair<std::string, std::string>{"学号", ""}));
  EXPECT_EQ(splitColumnPair("--key", "学号=编号"), (std::pair<std::string, std::string>{"学号", "编号"}));
  EXPECT_EQ(splitColumnPair("--key", "a=b=c"), (std::pair<std::string, std::string>{"a", "b=c"}));
  EXPECT_THROW(splitColumnPair("--key", "=b"), UsageError);
  EXPECT_THROW(splitColumnPair("--key", "a="), UsageError);
  EXPECT_THROW(splitColumnPair("--key", ""), UsageError);
}

}  // namespace
}  // namespace qm::cli
