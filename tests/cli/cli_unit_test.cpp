// The writers and the option parsing of hydrant-calc-cli, without running the program.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/csv.h"
#include "cli/json.h"
#include "cli/options.h"
#include "cli/utf8.h"
#include "cli/write_output.h"

namespace {

struct TextCase {
  const char* name;
  std::string input;
  std::string expected;
};

TEST(JsonString, EscapesAndReplacesAsDocumented) {
  const std::vector<TextCase> cases = {
      {"plain", "20", "\"20\""},
      {"chinese kept", "麻质", "\"麻质\""},
      {"four-byte kept", "\xF0\x9F\x94\xA5", "\"\xF0\x9F\x94\xA5\""},
      {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
      {"short escapes", "\n\r\t\b\f", "\"\\n\\r\\t\\b\\f\""},
      {"other controls", std::string("\x01\x1f\x7f", 3), "\"\\u0001\\u001f\\u007f\""},
      {"nul", std::string("a\0b", 3), "\"a\\u0000b\""},
      {"line separators", "\xE2\x80\xA8\xE2\x80\xA9", "\"\\u2028\\u2029\""},
      {"lone continuation", "a\x80z", "\"a\\ufffdz\""},
      {"truncated at end", "a\xE6\xB0", "\"a\\ufffd\""},
      {"truncated before ascii", "\xE6\xB0z", "\"\\ufffdz\""},
      {"overlong", "\xC0\xAF", "\"\\ufffd\\ufffd\""},
      {"overlong three-byte", "\xE0\x80\xAF", "\"\\ufffd\\ufffd\\ufffd\""},
      {"surrogate", "\xED\xA0\x80", "\"\\ufffd\\ufffd\\ufffd\""},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", "\"\\ufffd\\ufffd\\ufffd\\ufffd\""},
      {"invalid lead", "\xF5\xFF", "\"\\ufffd\\ufffd\""},
      {"latin-1 byte", "caf\xE9", "\"caf\\ufffd\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(cli::jsonString(c.input), c.expected);
  }
}

TEST(JsonObject, KeepsOrderAndNests) {
  const std::string inner = cli::JsonObject().add("field", "Az").str();
  EXPECT_EQ(cli::JsonObject().add("a", "1").addRaw("b", inner).add("c", "\"").str(),
            "{\"a\":\"1\",\"b\":{\"field\":\"Az\"},\"c\":\"\\\"\"}");
  EXPECT_EQ(cli::JsonObject().str(), "{}");
}

TEST(DisplayWidth, CountsWideCharactersTwice) {
  EXPECT_EQ(cli::displayWidth("Hq"), 2u);
  EXPECT_EQ(cli::displayWidth("消防栓口水压："), 14u);
  EXPECT_EQ(cli::displayWidth("保护半径(m)"), 11u);
  EXPECT_EQ(cli::displayWidth("\x80"), 1u);
}

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
  const std::vector<TextCase> cases = {
      {"plain", "21.96(mH2o)", "21.96(mH2o)"},
      {"empty", "", ""},
      {"comma", "1,5", "\"1,5\""},
      {"quote doubled", "a\"b", "\"a\"\"b\""},
      {"line feed", "a\nb", "\"a\nb\""},
      {"carriage return", "a\rb", "\"a\rb\""},
      {"leading blank", " 20", "\" 20\""},
      {"invalid utf-8", "a\xFF", "a\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(cli::csvField(c.input), c.expected);
  }
  EXPECT_EQ(cli::csvRow({"fai", "0.0097", "a,b"}), "fai,0.0097,\"a,b\"\r\n");
}

// Records as "field|field;field", a record read with a problem marked "!".
std::string readAll(std::string_view csv) {
  cli::CsvReader reader(csv);
  std::vector<std::string> fields;
  std::string problem;
  std::string out;
  while (reader.next(fields, problem)) {
    if (!out.empty()) out += ';';
    if (!problem.empty()) out += '!';
    for (std::size_t i = 0; i < fields.size(); ++i) out += (i > 0 ? "|" : "") + fields[i];
  }
  return out;
}

TEST(CsvReader, ReadsWhatSpreadsheetsAndScriptsWrite) {
  const std::vector<TextCase> cases = {
      {"bom and crlf",
       "\xEF\xBB\xBF"
       "a,b\r\n1,2\r\n",
       "a|b;1|2"},
      {"lf, no final line end", "a,b\n1,2", "a|b;1|2"},
      {"quoted comma", "\"x, y\",z\n", "x, y|z"},
      {"doubled quotes", "\"say \"\"hi\"\"\",\"\"\"\"\n", "say \"hi\"|\""},
      {"quoted line ends", "\"1F\r\nroof\",\"a\nb\"\r\n2F\r\n", "1F\r\nroof|a\nb;2F"},
      {"empty fields", ",,\n\"\",x\n", "||;|x"},
      {"blank lines skipped", "a\n\n\r\n\nb\n\n", "a;b"},
      {"lone cr ends a record", "a\rb", "a;b"},
      {"quote inside a field kept", "5\"F,x", "5\"F|x"},
      {"quote left open", "a\n\"b,c\nd", "a;!b,c\nd"},
      {"text after closing quote", "\"a\"b,c\nd", "!ab|c;d"},
      {"empty input", "\xEF\xBB\xBF", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(readAll(c.input), c.expected);
  }
}

cli::Options parsed(std::vector<std::string> args) {
  const auto result = cli::parseOptions(args);
  if (const auto* error = std::get_if<cli::UsageError>(&result)) {
    ADD_FAILURE() << "usage error: " << error->message;
    return {};
  }
  return std::get<cli::Options>(result);
}

TEST(ParseOptions, TakesValuesAsTyped) {
  const auto result = cli::parseOptions(std::vector<std::string>{
      "--hose-length", " 25", "--material=衬胶", "--hose-diameter", "65", "--nozzle", "-1",
      "--water-column", "", "--flow", "2.5", "--width=", "--format", "json", "--format", "csv"});
  ASSERT_TRUE(std::holds_alternative<cli::Options>(result));
  const cli::Options& o = std::get<cli::Options>(result);
  EXPECT_EQ(o.entries.hoseLength, " 25");
  EXPECT_EQ(o.entries.material, "衬胶");
  EXPECT_EQ(o.entries.hoseDiameter, "65");
  EXPECT_EQ(o.entries.nozzle, "-1");
  EXPECT_EQ(o.entries.waterColumn, "");
  EXPECT_EQ(o.entries.flow, "2.5");
  EXPECT_EQ(o.entries.width, "");
  EXPECT_EQ(o.format, cli::Format::Csv);  // the last one counts
}

TEST(ParseOptions, DesignSettings) {
  const cli::Options o = parsed({"--occupancy", "high", "--streams=1", "--min-flow", "2.5"});
  EXPECT_TRUE(o.design.occupancy == calc::Occupancy::High && o.design.streams == 1);
  EXPECT_EQ(o.design.minFlow, 2.5);
  EXPECT_FALSE(o.check);
  EXPECT_TRUE(parsed({"--pressure", "0.45"}).check);  // a given pressure is only ever checked
}

TEST(ParseOptions, RefusesWhatIsNotAnOption) {
  const std::vector<std::vector<std::string>> cases = {
      {"--speed"},
      {"-x"},
      {"20"},
      {"--width"},
      {"--format", "xml"},
      {"--format"},
      {"--table=1"},
      {"--flow", "5", "extra"},
      {"--table", "--material", "衬胶"},
      {"--table", "--flow", "5"},
      {"--occupancy", "High"},
      {"--streams", "3"},
      {"--streams", "1.5"},
      {"--min-flow", "0"},
      {"--min-flow", "5 l/s"},
      {"--pressure", "0.02"},
      {"--pressure", "inf"},
      {"--table", "--check"},
      {"--table", "--batch", "-"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args.front() + (args.size() > 1 ? " " + args[1] : ""));
    const auto result = cli::parseOptions(args);
    ASSERT_TRUE(std::holds_alternative<cli::UsageError>(result));
    EXPECT_FALSE(std::get<cli::UsageError>(result).message.empty());
  }
}

TEST(ParseOptions, UsageErrorsQuoteTheArgumentOnOneLine) {
  // As calculation errors do: controls blanked, stray bytes U+FFFD, at most 24 characters.
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"\x1b]0;x\x07"}, "多余的参数：“ ]0;x ”"},
      {{"--format", "\x1b[2J"}, "未知的输出格式：“ [2J”（可用 text、json、csv）"},
      {{"--x\xff\xc2\x9b"}, "未知选项：“--x\xef\xbf\xbd ”"},
      {{"--" + std::string(30, 'y')}, "未知选项：“--" + std::string(22, 'y') + "…”"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const auto result = cli::parseOptions(c.args);
    ASSERT_TRUE(std::holds_alternative<cli::UsageError>(result));
    EXPECT_EQ(std::get<cli::UsageError>(result).message, c.message);
  }
}

TEST(WriteOutput, SaysWhetherEverythingArrived) {
  std::FILE* file = std::tmpfile();
  ASSERT_TRUE(file);
  EXPECT_TRUE(cli::writeOutput(file, "20.82\n"));
  EXPECT_TRUE(cli::closeOutput(file));
  std::FILE* full = std::fopen("/dev/full", "w");
  if (!full) GTEST_SKIP() << "no /dev/full here";
  EXPECT_FALSE(cli::writeOutput(full, "20.82\n"));
  EXPECT_FALSE(cli::closeOutput(full));
}

}  // namespace
