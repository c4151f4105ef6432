#include "calc/run_errors.h"

#include <string>

#include "calc/number_text.h"
#include "calc/run.h"

namespace calc::errors {
namespace {

struct InputInfo {
  const char* field;    // window caption without the colon
  const char* name;     // how the message speaks of it
  const char* allowed;  // what may be entered
};

InputInfo info(Input input) {
  switch (input) {
    case Input::HoseLength:
      return {kHoseLengthField, "水龙带长度", "不小于 0 的长度（m），如 20 或 25"};
    case Input::NozzleDiameter:
      return {kNozzleDiameterField, "水枪喷嘴口径", "大于 0 的口径（mm），如 13、16 或 19"};
    case Input::WaterColumn:
      return {kWaterColumnField, "充实水柱长度", "不小于 0 的长度（m），如 7、10 或 13"};
    case Input::Flow:
      return {kFlowField, "Tavrel出水量", "不小于 0 的流量（l/s），如 2.5、5 或 10"};
    case Input::ProtectionWidth:
      break;
  }
  return {kProtectionWidthField, "最大保护宽度", "不小于 0 的宽度（m），如 10"};
}

// Length of the well-formed UTF-8 character at the start of s, or 0 when it is not one.
std::size_t utf8Length(std::string_view s) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const auto cont = [&](std::size_t i) { return i < s.size() && (b(i) & 0xC0) == 0x80; };
  const unsigned char c = b(0);
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return cont(1) ? 2 : 0;
  if (c >= 0xE0 && c <= 0xEF) {
    if (!cont(1) || !cont(2)) return 0;
    if ((c == 0xE0 && b(1) < 0xA0) || (c == 0xED && b(1) >= 0xA0)) return 0;  // overlong, surrogate
    return 3;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    if (!cont(1) || !cont(2) || !cont(3)) return 0;
    if ((c == 0xF0 && b(1) < 0x90) || (c == 0xF4 && b(1) >= 0x90)) return 0;
    return 4;
  }
  return 0;
}

// The entered text as the message quotes it: at most 24 characters, so the message stays
// one line whatever was typed or pasted; control characters become blanks and bytes that
// are not UTF-8 become U+FFFD, so the message is always valid text.
std::string quoted(std::string_view text) {
  constexpr int kMaxChars = 24;
  std::string out = "“";
  int chars = 0;
  while (!text.empty() && chars < kMaxChars) {
    const std::size_t n = utf8Length(text);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
    } else if (n == 1 && (static_cast<unsigned char>(text[0]) < 0x20 || text[0] == 0x7F)) {
      out.push_back(' ');
    } else {
      out.append(text.substr(0, n));
    }
    text.remove_prefix(n == 0 ? 1 : n);
    ++chars;
  }
  if (!text.empty()) out += "…";
  return out + "”";
}

CalcError make(const InputInfo& in, std::string_view text, const std::string& what) {
  return {in.field, std::string(text), what};
}

// "<name>“<text>”<problem>，请输入<what is allowed>。"
CalcError complaint(Input input, std::string_view text, const char* problem) {
  const InputInfo in = info(input);
  return make(in, text,
              std::string(in.name) + quoted(text) + problem + "，请输入" + in.allowed + "。");
}

}  // namespace

CalcError notANumber(Input input, std::string_view text) {
  if (text.empty()) {
    const InputInfo in = info(input);
    return make(in, text, std::string(in.name) + "未填写，请输入" + in.allowed + "。");
  }
  return complaint(input, text, "不是有效的数字");
}

CalcError negative(Input input, std::string_view text) {
  return complaint(input, text, "不能为负数");
}

CalcError notPositive(Input input, std::string_view text) {
  return complaint(input, text, "必须大于 0");
}

CalcError outOfRange(Input input, std::string_view text) {
  return complaint(input, text, "超出可计算的范围");
}

CalcError beyondReach(std::string_view waterColumn, float nozzleDiameter, int maxWholeMetres) {
  const InputInfo in = info(Input::WaterColumn);
  return make(in, waterColumn,
              std::string(in.name) + quoted(waterColumn) + "超出 " + singleToText(nozzleDiameter) +
                  " mm 喷嘴所能达到的范围，该喷嘴最大为 " + std::to_string(maxWholeMetres) +
                  " m。");
}

CalcError hoseCoefficient(std::string_view coefficientText) {
  return {kHoseCoefficientField, std::string(coefficientText),
          "水龙带阻力系数 Az" + quoted(coefficientText) + "无效，请从列表中选择水龙带材料和直径。"};
}

CalcError noConvergence(std::string_view flowText) {
  const InputInfo in = info(Input::Flow);
  return make(
      in, flowText,
      "由Tavrel出水量" + quoted(flowText) + "求充实水柱长度未得出结果，请检查出水量和喷嘴口径。");
}

}  // namespace calc::errors
