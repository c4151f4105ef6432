#include "calc/run_errors.h"

#include <string>

#include "calc/number_text.h"
#include "calc/run.h"
#include "calc/utf8.h"

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

std::string quoted(std::string_view text) {
  constexpr std::size_t kMaxChars = 24;
  return "“" + oneLine(text, kMaxChars) + "”";
}

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

CalcError beyondReach(std::string_view waterColumn, float nozzleDiameter,
                      std::optional<double> maxWholeMetres) {
  const InputInfo in = info(Input::WaterColumn);
  std::string message = std::string(in.name) + quoted(waterColumn) + "超出 " +
                        singleToText(nozzleDiameter) + " mm 喷嘴所能达到的范围";
  if (maxWholeMetres) message += "，该喷嘴最大为 " + numberToText(*maxWholeMetres) + " m";
  return make(in, waterColumn, message + "。");
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
