// What the sheet makes of typed text: markup escaped, and no control character passed on
// into the document, whichever entry it came in.

#include <gtest/gtest.h>

#include <string>

#include "sheet/calc_sheet.h"

namespace {

TEST(SheetEscape, NoControlCharacterReachesTheDocument) {
  const struct {
    const char* name;
    std::string text;
    std::string html;
  } cases[] = {
      {"markup", "<i>&\"'", "&lt;i&gt;&amp;&quot;&#39;"},
      {"escape sequence and bell", "\x1b[31mX\x07", " [31mX "},
      {"nul", std::string("a\0b", 3), "a b"},
      {"line ends and tab", "a\r\n\tb", "a   b"},
      {"DEL and C1",
       "a\x7f\xC2\x85\xC2\x9b"
       "b",
       "a   b"},
      {"line and paragraph separators",
       "a\xE2\x80\xA8\xE2\x80\xA9"
       "b",
       "a  b"},
      {"ill-formed byte", "a\xFF", "a\uFFFD"},
      {"chinese kept", "设计人", "设计人"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(sheet::escapeHtml(c.text), c.html);
  }

  sheet::SheetRequest request;
  request.designer = "\x1b[31mX\x07";
  request.project = std::string("P\0\xC2\x9b", 4);
  const auto html = sheet::makeSheet(request);
  ASSERT_TRUE(html.ok());
  for (const char* control : {"\x1b", "\x07", "\xC2\x9b"}) {
    EXPECT_EQ(html.value().find(control), std::string::npos) << control;
  }
  EXPECT_EQ(html.value().find('\0'), std::string::npos);
  EXPECT_NE(html.value().find(" [31mX "), std::string::npos);
}

}  // namespace
