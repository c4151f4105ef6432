// Batch runs on hostile and broken files: what reaches the output, which row gets which
// error, and that the rest of the file is still calculated.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cli/batch.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

const std::string kBom = "\xEF\xBB\xBF";

struct BatchCase {
  const char* name;
  std::string csv;
  std::vector<std::string> present;  // in standard output, or standard error when it has text
  std::vector<std::string> absent;   // in neither
  int status = cli::kExitCalcFailed;
  cli::Format format = cli::Format::Csv;
};

TEST(Batch, HostileAndBrokenFiles) {
  const std::string longCell(2'000'000, 'x');
  const std::string commas(1'000'000, ',');
  const std::vector<BatchCase> cases = {
      {"formula-like ids are written as text",
       "id,pressure\n=1+2,0.35\n+A1,0.35\n-5F,0.35\n@SUM(A1),0.35\n",
       {"\r\n'=1+2,pressure,", "\r\n'+A1,", "\r\n'-5F,", "\r\n'@SUM(A1),"},
       {"\r\n=1+2", "\r\n-5F"},
       cli::kExitOk},
      {"control characters in ids become blanks",
       "id\n\"a\x1b[31mb\x07\"\n\"c\xC2\x85"
       "d\"\n" +
           std::string("e\0f", 3) + "\n\"g\xE2\x80\xA8h\"\n",
       {"\r\n\"a [31mb \",", "\r\nc d,", "\r\ne f,", "\r\ng h,"},
       {"\x1b", "\x07", "\xC2\x85", std::string(1, '\0'), "\xE2\x80\xA8"},
       cli::kExitOk},
      {"a byte-order mark inside an id is dropped",
       "id\n1" + kBom + "F\n",
       {"\r\n1F,minFlow,"},
       {kBom + "1F", "1" + kBom},
       cli::kExitOk},
      {"widths in a file are numbers",
       "id,width\nA,abc\nB,nan\nC,1O\nD,10abc\nE,10\n",
       {"\r\nA,,", "最大保护宽度“abc”", "“nan”", "“1O”", "“10abc”", "\r\nE,minFlow,"},
       {"\r\nD,minPressure"}},
      {"design settings beyond their physical range",
       "id,pressure,minFlow\nP,1e300,\nQ,,1e200\nR,,0.05\nS,0.35,2.5\n",
       {"pressure 的取值“1e300”过大", "minFlow 的取值“1e200”过大", "minFlow 的取值“0.05”过小",
        "\r\nS,pressure,"},
       {"水龙带长度"}},
      {"a quote left open is reported with its line, over the value's error",
       "id,pressure\n1F,0.35\n\"2F,abc\n3F,0.3\n4F,0.3\n",
       {"\r\n1F,pressure,", "第 3–5 行无法读取：第 3 行的引号未闭合，其后 2 行都并入了该字段"},
       {"栓口动压", "\r\n3F,"}},
      {"lines of the file are counted, not records",
       "id,pressure\n\"a\nb\",0.35\n\n\"c\",0.35,9\nd,0.35\n",
       {"第 5 行无法读取：字段多于表头的 2 列", "\r\nd,pressure,"},
       {"第 2 条", "第 2 行"}},
      {"a line of commas is one error, the next row is calculated",
       "id,pressure\nX" + commas + "\nY,0.35\n",
       {"第 2 行无法读取：字段多于表头的 2 列", "\r\nY,pressure,"},
       {",,,,,,,,,,,,,,,,,,,,,,"}},
      {"a field longer than 1 MiB is skipped to the line end",
       "id\n\"" + longCell + "\"\nY\n",
       {"第 2 行无法读取：记录长于 1 MiB", "\r\nY,minFlow,", "\r\n" + std::string(64, 'x') + "…,,"},
       {std::string(65, 'x')}},
      {"a header cell with a reader problem is reported as such",
       "\"id,pressure\n1F,0.35\n",
       {"表头（第 1–2 行）无法读取：第 1 行的引号未闭合"},
       {"无法识别"}},
      {"an unknown header cell is quoted shortened",
       std::string(100'000, 'x') + ",id\n1F\n",
       {"表头中的列“xxxxxxxxxxxxxxxxxxxxxxxx…”无法识别"},
       {"xxxxxxxxxxxxxxxxxxxxxxxxxx"}},
  };
  for (const BatchCase& c : cases) {
    SCOPED_TRACE(c.name);
    cli::Options options;
    options.format = c.format;
    const cli::Printed printed = cli::runBatch(c.csv, options);
    EXPECT_EQ(printed.status, c.status);
    const std::string& where = printed.err.empty() ? printed.out : printed.err;
    for (const std::string& s : c.present) EXPECT_NE(where.find(s), std::string::npos) << s;
    for (const std::string& s : c.absent) {
      EXPECT_EQ(printed.out.find(s), std::string::npos) << s;
      EXPECT_EQ(printed.err.find(s), std::string::npos) << s;
    }
    // Nothing read is echoed whole: the output stays far below the input.
    EXPECT_LT(printed.out.size() + printed.err.size(), 100'000u);
  }
}

#ifndef _WIN32
// A row comes out while the input is still open, as the program flushes whenever it has to wait
// for input: the rest of the file arrives only once the first row is out, as from a program
// that waits for the answer. Before its second read the reader has taken all written so far.
TEST(Batch, WritesRowsBeforeTheInputEnds) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const std::string first = "id,pressure\n1F,0.35\n", second = "2F,0.30\n";
  ASSERT_EQ(::write(fds[1], first.data(), first.size()), ssize_t(first.size()));
  std::FILE* in = ::fdopen(fds[0], "rb");
  ASSERT_NE(in, nullptr);
  std::string out, pending;
  int reads = 0;
  cli::CsvReader reader(in, [&] {
    out += std::exchange(pending, "");
    if (++reads != 2) return;
    EXPECT_NE(out.find("\r\n1F,"), std::string::npos) << "the first row held back";
    EXPECT_EQ(::write(fds[1], second.data(), second.size()), ssize_t(second.size()));
    ::close(fds[1]);
  });
  std::string err;
  const auto row = [&](std::string_view text) { return pending += text, true; };
  EXPECT_EQ(cli::runBatch(reader, cli::Options{}, row, err), cli::kExitOk) << err;
  std::fclose(in);
  EXPECT_NE((out + pending).find("\r\n2F,pressure,"), std::string::npos) << out + pending;
}
#endif

}  // namespace
