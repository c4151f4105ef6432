// The writers and the option parsing of hydrant-calc-cli, without running the program.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/csv.h"
#include "cli/inputs.h"
#include "cli/options.h"
#include "cli/output.h"

namespace {

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

// The JSON text and CSV field writers and the CSV reader on the texts they must get right:
// JSON escapes every control character (C1 and the line separators too) and replaces bytes
// that are no UTF-8; CSV quotes only what needs it; the reader takes what spreadsheets and
// scripts write.
TEST(Texts, JsonAndCsvWritersAndTheCsvReader) {
  using Fn = std::string (*)(std::string_view);
  const Fn json = [](std::string_view s) { return cli::jsonText(std::string(s)); };
  const Fn field = [](std::string_view s) { return cli::csvField(s); };
  const Fn read = readAll;
  const struct {
    const char* name;
    Fn fn;
    std::string input, expected;
  } cases[] = {
      // clang-format off
      {"chinese and four-byte kept", json, "麻质\xF0\x9F\x94\xA5", "\"麻质\xF0\x9F\x94\xA5\""},
      {"quote and backslash", json, "a\"b\\c", "\"a\\\"b\\\\c\""},
      {"short escapes", json, "\n\r\t\b\f", "\"\\n\\r\\t\\b\\f\""},
      {"C0, NUL and DEL", json, std::string("\x01\x1f\0\x7f", 4), "\"\\u0001\\u001f\\u0000\\u007f\""},
      {"C1 controls", json, "c\xC2\x80\xC2\x85\xC2\x9F\xC2\xA0", "\"c\\u0080\\u0085\\u009f\xC2\xA0\""},
      {"line separators", json, "\xE2\x80\xA8\xE2\x80\xA9", "\"\\u2028\\u2029\""},
      {"lone continuation", json, "a\x80z", "\"a\\ufffdz\""},
      {"truncated at end", json, "a\xE6\xB0", "\"a\\ufffd\""},
      {"overlong", json, "\xC0\xAF", "\"\\ufffd\\ufffd\""},
      {"surrogate", json, "\xED\xA0\x80", "\"\\ufffd\\ufffd\\ufffd\""},
      {"latin-1 byte", json, "caf\xE9", "\"caf\\ufffd\""},
      {"plain", field, "21.96(mH2o)", "21.96(mH2o)"},
      {"empty", field, "", ""},
      {"comma", field, "1,5", "\"1,5\""},
      {"quote doubled", field, "a\"b", "\"a\"\"b\""},
      {"line feed", field, "a\nb", "\"a\nb\""},
      {"carriage return", field, "a\rb", "\"a\rb\""},
      {"leading blank", field, " 20", "\" 20\""},
      {"invalid utf-8", field, "a\xFF", "a\xEF\xBF\xBD"},
      {"bom and crlf", read, "\xEF\xBB\xBF" "a,b\r\n1,2\r\n", "a|b;1|2"},
      {"lf, no final line end", read, "a,b\n1,2", "a|b;1|2"},
      {"quoted comma", read, "\"x, y\",z\n", "x, y|z"},
      {"doubled quotes", read, "\"say \"\"hi\"\"\",\"\"\"\"\n", "say \"hi\"|\""},
      {"quoted line ends", read, "\"1F\r\nroof\",\"a\nb\"\r\n2F\r\n", "1F\r\nroof|a\nb;2F"},
      {"empty fields", read, ",,\n\"\",x\n", "||;|x"},
      {"blank lines skipped", read, "a\n\n\r\n\nb\n\n", "a;b"},
      {"lone cr ends a record", read, "a\rb", "a;b"},
      {"quote inside a field kept", read, "5\"F,x", "5\"F|x"},
      {"quote left open", read, "a\n\"b,c\nd", "a;!b,c\nd"},
      {"text after closing quote", read, "\"a\"b,c\nd", "!ab|c;d"},
      {"empty input", read, "\xEF\xBB\xBF", ""},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.fn(c.input), c.expected);
  }
  // Numbers in their shortest form that reads back the same; members in the order added.
  EXPECT_EQ(cli::jsonText({{"z", 35.0}, {"a", 0.35}, {"n", 0.0097}, {"s", 3}}),
            "{\"z\":35.0,\"a\":0.35,\"n\":0.0097,\"s\":3}");
  EXPECT_EQ(cli::csvRow({"fai", "0.0097", "a,b"}), "fai,0.0097,\"a,b\"\r\n");
}

// One command line each: the message of the usage error, or empty when it parses; then
// what the parsed options hold, checked by `holds`. How a refused argument is quoted (stray
// bytes, length) is the calculation's quoting, tested with its messages.
struct ParseCase {
  const char* name;
  std::vector<std::string> args;
  std::string error;
  bool (*holds)(const cli::Options&) = nullptr;
};

TEST(ParseOptions, TakesValuesAsTypedAndRefusesInOneLine) {
  const std::vector<ParseCase> cases = {
      {"values as typed, --opt=value, the last repeat counts",
       {"--hose-length", " 25", "--material=衬胶", "--nozzle", "-1", "--water-column", "", "--flow",
        "2.5", "--width=", "--format", "json", "--format", "csv"},
       "",
       [](const cli::Options& o) {
         const cli::Entries& e = o.entries;
         return e.hoseLength == " 25" && e.material == "衬胶" && e.nozzle == "-1" &&
                e.waterColumn.empty() && e.flow == "2.5" && e.width.empty() &&
                o.format == cli::Format::Csv;
       }},
      {"a value that looks like an option",
       {"--width", "--table", "--nozzle", "-x"},
       "",
       [](const cli::Options& o) {
         return o.entries.width == "--table" && o.entries.nozzle == "-x" && !o.table;
       }},
      {"design settings; a given pressure implies the check",
       {"--occupancy", "high", "--streams=1", "--min-flow", "2.5", "--pressure", "0.45"},
       "",
       [](const cli::Options& o) {
         return o.design.occupancy == calc::Occupancy::High && o.design.streams == 1 &&
                o.design.minFlow == 2.5 && o.design.pressureMPa == 0.45 && o.check;
       }},
      {"the sheet's options in the same parser",
       {"--report", "-", "--project=楼", "--date", "2026年1月2日", "-h"},
       "",
       [](const cli::Options& o) {
         return o.report.path == "-" && o.report.title.project == "楼" &&
                o.report.date == "2026年1月2日" && o.help;
       }},
      // clang-format off
      {"short unknown option", {"-x"}, "未知选项：“-x”"},
      {"extra argument", {"--flow", "5", "20"}, "多余的参数：“20”"},
      {"missing value", {"--format"}, "选项 --format 缺少取值"},
      {"a flag given a value", {"--table=1"}, "未知选项：“--table=1”"},
      {"unknown format", {"--format", "\x1b[2J"}, "未知的输出格式：“ [2J”（可用 text、json、csv）"},
      {"argument quoted on one line", {"\x1b]0;x\x07"}, "多余的参数：“ ]0;x ”"},
      {"table with an entry", {"--table", "--flow", "5"}, "--table 不能与 --flow 同时使用（设计表已包含全部选项）"},
      {"table with the batch", {"--table", "--batch", "-"}, "--table 不能与 --batch 同时使用（设计表不含规范校核）"},
      {"table after the system", {"--table", "--system", "p.toml"}, "--system 不能与 --table 同时使用（系统计算的输入全部取自项目文件）"},
      {"help beside the system", {"--system", "p.toml", "--nozzle", "13", "-h"}, ""},
      {"three streams", {"--streams", "3"}, "水枪充实水柱股数只能为 2 或 1：“3”"},
      {"pressure too large", {"--pressure=11"}, "--pressure 的取值“11”过大：栓口动压不能超过 10 MPa"},
      {"title block without the sheet", {"--checker", "张工"}, "--checker 只用于计算书的标题栏，须与 --report 同用"},
      {"sheet without a file", {"--report="}, "--report 需要文件名（或 - 表示标准输出）"},
      // clang-format on
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto result = cli::parseOptions(c.args);
    if (const auto* error = std::get_if<cli::UsageError>(&result)) {
      EXPECT_EQ(error->message, c.error);
    } else {
      EXPECT_EQ("", c.error);
      if (c.holds) {
        EXPECT_TRUE(c.holds(std::get<cli::Options>(result)));
      }
    }
  }
}

// The help's lines as a reader sees them: the value after its option, the text from column 26
// (two blanks after a wider option), its later lines indented to it, the short option first;
// the sheet's and the information options out of the usage (which the help repeats).
TEST(HelpText, ColumnsAndWhatTheUsageLeavesOut) {
  const std::string help = cli::helpText(), usage = cli::usageLine();
  const struct {
    const char* part;
    bool inHelp, inUsage;
  } rows[] = {
      {"\n  --hose-length 长度      水龙带长度(m)，默认 20（窗口中可选 20、25）\n", true, false},
      {"）\n                          材料与直径须是水龙带阻力表中的组合\n", true, false},
      {"\n  --format text|json|csv  输出格式", true, false},
      {"\n  -h, --help              显示本说明\n", true, false},
      {"\n  --sheet-number 编号     计算书编号\n", true, false},
      {"\n  hoseLength    水龙带长度\n", true, false},
      {"[--hose-length 长度]", true, true},
      {"[--report 文件|-]（详见 --help）", true, true},
      {"[--designer", false, false},
      {"[-h, --help]", false, false},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.part);
    EXPECT_EQ(help.find(r.part) != std::string::npos, r.inHelp);
    EXPECT_EQ(usage.find(r.part) != std::string::npos, r.inUsage);
  }
}

}  // namespace
