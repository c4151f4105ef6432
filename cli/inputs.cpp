#include "cli/inputs.h"

#include <cmath>

#include "calc/number_text.h"
#include "calc/run_errors.h"
#include "cli/design.h"
#include "cli/options.h"

namespace cli {

namespace {

using Text = std::optional<std::string>;

template <std::string calc::Entries::*Member>
Text setEntry(Reading& r, const std::string& text) {
  r.entries.*Member = text;
  return std::nullopt;
}

template <std::string calc::Entries::*Member>
const std::string* entry(const calc::Entries& e) {
  return &(e.*Member);
}

const std::string* givenFlow(const calc::Entries& e) { return e.flow ? &*e.flow : nullptr; }

Text setFlow(Reading& r, const std::string& text) {
  r.entries.flow = text;
  return std::nullopt;
}

Text setWidth(Reading& r, const std::string& text) {
  // A file is data, not a typed entry: the window's leading-number reading of the width
  // ("10abc" as 10) is not applied to it.
  if (r.file && !calc::parseNumber(text)) {
    return calc::errors::notANumber(calc::errors::Input::ProtectionWidth, text).message;
  }
  r.entries.width = text;
  return std::nullopt;
}

// One of the design check's readers (cli/design.h), its complaint as the reason.
template <auto Read>
Text setting(Reading& r, const std::string& text) {
  if (auto error = Read(text, r.design)) return error->message;
  return std::nullopt;
}

// No fire-water system runs at 10 MPa, and no hand nozzle passes more than 50 l/s or is
// sized for less than 0.1 l/s.
constexpr double kMaxPressureMPa = 10;
constexpr double kMaxMinFlow = 50;
constexpr double kMinMinFlow = 0.1;

std::string beyond(std::string_view name, std::string_view text, const char* which,
                   const char* limit) {
  return std::string(name) + " 的取值" + calc::errors::quoted(text) + which + "：" + limit;
}

// The number of a text, or +∞ for one too large to hold (1e400), which parseNumber refuses.
std::optional<double> magnitude(std::string_view text) {
  if (const auto value = calc::parseNumber(text)) return value;
  const double leading = calc::leadingNumber(text);
  if (std::isinf(leading) && leading > 0) return leading;
  return std::nullopt;
}

// The physical limits of the settings given as numbers, so that a slip of the finger is
// caught before the check; the reason names the option or column and quotes the text as
// typed. Nothing when within them or not a number at all (the setting's reader says).
Text pressureBeyondRange(std::string_view name, std::string_view text) {
  const auto value = magnitude(text);
  if (value && *value > kMaxPressureMPa) {
    return beyond(name, text, "过大", "栓口动压不能超过 10 MPa");
  }
  return std::nullopt;
}

Text minFlowBeyondRange(std::string_view name, std::string_view text) {
  const auto value = magnitude(text);
  if (value && *value > kMaxMinFlow) {
    return beyond(name, text, "过大", "每支水枪最小流量不能超过 50 l/s");
  }
  if (value && *value > 0 && *value < kMinMinFlow) {
    return beyond(name, text, "过小", "每支水枪最小流量不能小于 0.1 l/s");
  }
  return std::nullopt;
}

Text setPressure(Reading& r, const std::string& text) {
  if (auto beyond = pressureBeyondRange(r.name, text)) return beyond;
  if (auto error = setting<readPressure>(r, text)) return error;
  // A given pressure is only ever checked.
  if (r.options) r.options->check = true;
  return std::nullopt;
}

Text setMinFlow(Reading& r, const std::string& text) {
  if (auto beyond = minFlowBeyondRange(r.name, text)) return beyond;
  return setting<readMinFlow>(r, text);
}

Text setFormat(Reading& r, const std::string& text) {
  if (text == "text") {
    r.options->format = Format::Text;
  } else if (text == "json") {
    r.options->format = Format::Json;
  } else if (text == "csv") {
    r.options->format = Format::Csv;
  } else {
    return "未知的输出格式：" + calc::errors::quoted(text) + "（可用 text、json、csv）";
  }
  return std::nullopt;
}

template <bool Options::*Flag>
Text setFlag(Reading& r, const std::string&) {
  r.options->*Flag = true;
  return std::nullopt;
}

template <std::optional<std::string> Options::*Member>
Text setPath(Reading& r, const std::string& text) {
  r.options->*Member = text;
  return std::nullopt;
}

Text setReport(Reading& r, const std::string& text) {
  if (text.empty()) return "--report 需要文件名（或 - 表示标准输出）";
  r.options->report.path = text;
  return std::nullopt;
}

template <std::string ReportOptions::*Member>
Text setTitle(Reading& r, const std::string& text) {
  r.options->report.*Member = text;
  return std::nullopt;
}

Text setDate(Reading& r, const std::string& text) {
  r.options->report.date = text;
  return std::nullopt;
}

using K = InputKind;

constexpr InputRow kInputs[] = {
    {"", "", "id", "编号", K::Id, ""},
    {"--hose-length", "长度", "hoseLength", calc::kHoseLengthField, K::Entry,
     "水龙带长度(m)，默认 20（窗口中可选 20、25）", setEntry<&calc::Entries::hoseLength>,
     entry<&calc::Entries::hoseLength>},
    {"--material", "材料", "material", "水龙带材料", K::Entry,
     "水龙带材料，默认 麻质（可选 麻质、衬胶）", setEntry<&calc::Entries::material>,
     entry<&calc::Entries::material>},
    {"--hose-diameter", "直径", "hoseDiameter", "水龙带直径", K::Entry,
     "水龙带直径(mm)，默认 50（可选 50、65、80）\n材料与直径须是水龙带阻力表中的组合",
     setEntry<&calc::Entries::hoseDiameter>, entry<&calc::Entries::hoseDiameter>},
    {"--nozzle", "口径", "nozzle", calc::kNozzleDiameterField, K::Entry,
     "水枪喷嘴口径(mm)，默认 19（可选 13、16、19）", setEntry<&calc::Entries::nozzle>,
     entry<&calc::Entries::nozzle>},
    {"--water-column", "水柱", "waterColumn", calc::kWaterColumnField, K::Entry,
     "充实水柱长度(m)，默认 10（可选 7、10、13）", setEntry<&calc::Entries::waterColumn>,
     entry<&calc::Entries::waterColumn>},
    {"--flow", "流量", "flow", calc::kFlowField, K::Entry,
     "已知Tavrel出水量(l/s)：给出时按已知出水量计算充实水柱长度，\n"
     "否则按已知充实水柱长度计算出水量；保护半径仍按 --water-column 计算\n"
     "（批量计算时此列只用于出水量计算，校核不用）",
     setFlow, givenFlow},
    {"--pressure", "压力", "pressure", calc::kOutletPressureField, K::Design,
     "已知栓口动压(MPa)：按此压力求出水量和充实水柱并校核，\n"
     "不再取大；隐含 --check；不能超过 10 MPa",
     setPressure},
    {"--width", "宽度", "width", calc::kProtectionWidthField, K::Free,
     "最大保护宽度(m)，可不填；填写时计算Tavrel间距，\n"
     "宽度大于保护半径时给出警告（标准错误输出；JSON 中为 message）",
     setWidth, entry<&calc::Entries::width>},
    {"--occupancy", "high|other", "occupancy", calc::kOccupancyField, K::Design,
     "high：高层建筑、厂房、库房和室内净空高度超过8m的民用建筑等\n"
     "场所（13 m，0.35 MPa）；other：其他场所（10 m，0.25 MPa，默认）",
     setting<readOccupancy>},
    {"--streams", "2|1", "streams", calc::kStreamsField, K::Design,
     "同时到达任一点的水枪充实水柱股数：2（默认）或 1", setting<readStreams>},
    {"--min-flow", "流量", "minFlow", calc::kMinFlowField, K::Design,
     "每支水枪最小流量(l/s)，默认 5；表 3.5.2 的小型建筑为 2.5\n（0.1 至 50 l/s）", setMinFlow},
    {"--format", "text|json|csv", "", "", K::Free,
     "输出格式：text（默认，每行一个结果）、json、csv（UTF-8 带 BOM，CRLF 换行）", setFormat},
    {"--table", "", "", "", K::Free,
     "输出设计表：水龙带长度 × 材料 × 直径 × 喷嘴口径 × 充实水柱长度，\n"
     "共 108 行；可与 --width、--format 同用",
     setFlag<&Options::table>},
    {"--check", "", "", "", K::Design,
     "按 GB 50974-2014 校核：设计工作点（充实水柱、最小流量、\n"
     "最小栓口动压三者取大）及各条文的校核结论",
     setFlag<&Options::check>},
    {"--batch", "文件|-", "", "", K::Design,
     "逐行计算 CSV 文件（- 为标准输入），每行一个结果并校核；\n"
     "表头用英文键或窗口标题（见下），缺少的列取命令行的值；\n"
     "输出 CSV，--format json 时每行一个 JSON 对象",
     setPath<&Options::batch>},
    {"--system", "项目文件|-", "", "", K::Design,
     "按项目文件（TOML，- 为标准输入）计算整个消火栓系统：最不利立管、\n"
     "水泵扬程、各层压力、减压与孔板；可与 --format、--report 同用",
     setPath<&Options::system>},
    {"--help", "", "", "", K::Info, "显示本说明", setFlag<&Options::help>, nullptr, "-h"},
    {"--version", "", "", "", K::Info, "显示版本号", setFlag<&Options::version>},
    {"--report", "文件|-", "", "", K::Report,
     "写出室内消火栓水力计算书（含计算简图、计算过程、规范校核与设计工况）；\n"
     "- 表示写到标准输出。文件先写临时文件再改名，失败时不留残缺文件",
     setReport},
    {"--project", "名称", "", "", K::Title, "工程名称（计算书标题栏，以下各项均可不填）",
     setTitle<&ReportOptions::project>},
    {"--project-number", "编号", "", "", K::Title, "工程编号",
     setTitle<&ReportOptions::projectNumber>},
    {"--subproject", "子项", "", "", K::Title, "子项名称", setTitle<&ReportOptions::subproject>},
    {"--stage", "阶段", "", "", K::Title, "设计阶段（如 施工图）", setTitle<&ReportOptions::stage>},
    {"--sheet-number", "编号", "", "", K::Title, "计算书编号",
     setTitle<&ReportOptions::sheetNumber>},
    {"--revision", "版次", "", "", K::Title, "版次（如 A）", setTitle<&ReportOptions::revision>},
    {"--designer", "姓名", "", "", K::Title, "设计人", setTitle<&ReportOptions::designer>},
    {"--date", "日期", "", "", K::Title, "日期，默认今天（如 2026年12月6日）", setDate},
};

}  // namespace

std::span<const InputRow> inputRows() { return kInputs; }

}  // namespace cli
