#include "cli/options.h"

#include <array>

#include "calc/number_text.h"
#include "calc/run_errors.h"

namespace cli {

namespace {

enum class Key {
  HoseLength,
  Material,
  HoseDiameter,
  Nozzle,
  WaterColumn,
  Flow,
  Width,
  Format,
  Occupancy,
  Streams,
  MinFlow,
  Pressure,
  Batch,
  System,
};

// The design check's settings and the batch file: allowed with entries, not with --table.
bool isDesignKey(Key key) { return key >= Key::Occupancy; }

struct ValueOption {
  std::string_view name;
  Key key;
};

constexpr std::array kValueOptions{
    ValueOption{"--hose-length", Key::HoseLength},
    ValueOption{"--material", Key::Material},
    ValueOption{"--hose-diameter", Key::HoseDiameter},
    ValueOption{"--nozzle", Key::Nozzle},
    ValueOption{"--water-column", Key::WaterColumn},
    ValueOption{"--flow", Key::Flow},
    ValueOption{"--width", Key::Width},
    ValueOption{"--format", Key::Format},
    ValueOption{"--occupancy", Key::Occupancy},
    ValueOption{"--streams", Key::Streams},
    ValueOption{"--min-flow", Key::MinFlow},
    ValueOption{"--pressure", Key::Pressure},
    ValueOption{"--batch", Key::Batch},
    ValueOption{"--system", Key::System},
};

std::optional<Format> formatNamed(std::string_view name) {
  if (name == "text") return Format::Text;
  if (name == "json") return Format::Json;
  if (name == "csv") return Format::Csv;
  return std::nullopt;
}

// Applies one option value; returns an error text for a value the option does not take.
std::optional<std::string> apply(Options& options, Key key, const std::string& value) {
  Entries& e = options.entries;
  switch (key) {
    case Key::HoseLength:
      e.hoseLength = value;
      break;
    case Key::Material:
      e.material = value;
      break;
    case Key::HoseDiameter:
      e.hoseDiameter = value;
      break;
    case Key::Nozzle:
      e.nozzle = value;
      break;
    case Key::WaterColumn:
      e.waterColumn = value;
      break;
    case Key::Flow:
      e.flow = value;
      break;
    case Key::Width:
      e.width = value;
      break;
    case Key::Format: {
      const auto format = formatNamed(value);
      if (!format)
        return "未知的输出格式：" + calc::errors::quoted(value) + "（可用 text、json、csv）";
      options.format = *format;
      break;
    }
    case Key::Occupancy:
      if (auto error = readOccupancy(value, options.design)) return error->message;
      break;
    case Key::Streams:
      if (auto error = readStreams(value, options.design)) return error->message;
      break;
    case Key::MinFlow:
      if (auto beyond = minFlowBeyondRange("--min-flow", value)) return beyond;
      if (auto error = readMinFlow(value, options.design)) return error->message;
      break;
    case Key::Pressure:
      if (auto beyond = pressureBeyondRange("--pressure", value)) return beyond;
      if (auto error = readPressure(value, options.design)) return error->message;
      options.check = true;
      break;
    case Key::Batch:
      options.batch = value;
      break;
    case Key::System:
      options.system = value;
      break;
  }
  return std::nullopt;
}

}  // namespace

std::variant<Options, UsageError> parseOptions(std::span<const std::string> args) {
  Options options;
  // The table runs over every entry the window offers; an entry given with it would be
  // silently ignored, so it is refused instead.
  std::optional<std::string> entryOption;
  std::optional<std::string> designOption;

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--table") {
      options.table = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    if (arg == "--version") {
      options.version = true;
      continue;
    }
    if (arg == "--check") {
      options.check = true;
      designOption = arg;
      continue;
    }

    const std::size_t eq = arg.find('=');
    const std::string_view name = std::string_view(arg).substr(0, eq);
    const ValueOption* option = nullptr;
    for (const ValueOption& candidate : kValueOptions) {
      if (candidate.name == name) option = &candidate;
    }
    if (option == nullptr || !arg.starts_with("--")) {
      // Quoted as calculation errors quote an entry: whatever bytes it holds, one line.
      const std::string shown = calc::errors::quoted(arg);
      if (!arg.starts_with("-") || arg == "-") return UsageError{"多余的参数：" + shown};
      return UsageError{"未知选项：" + shown};
    }

    auto taken = optionValue(args, i);
    if (auto* error = std::get_if<UsageError>(&taken)) return *error;
    const std::string value = std::move(std::get<std::string>(taken));
    if (auto error = apply(options, option->key, value)) return UsageError{*error};
    if (isDesignKey(option->key)) {
      designOption = std::string(name);
    } else if (option->key != Key::Width && option->key != Key::Format) {
      entryOption = std::string(name);
    }
  }

  if (options.table && entryOption && !options.help && !options.version) {
    return UsageError{"--table 不能与 " + *entryOption + " 同时使用（设计表已包含全部选项）"};
  }
  if (options.table && designOption && !options.help && !options.version) {
    return UsageError{"--table 不能与 " + *designOption + " 同时使用（设计表不含规范校核）"};
  }
  return options;
}

namespace {

// No fire-water system runs at 10 MPa, and no hand nozzle passes more than 50 l/s or is
// sized for less than 0.1 l/s.
constexpr double kMaxPressureMPa = 10;
constexpr double kMaxMinFlow = 50;
constexpr double kMinMinFlow = 0.1;

std::string beyond(std::string_view name, std::string_view text, const char* which,
                   const char* limit) {
  return std::string(name) + " 的取值" + calc::errors::quoted(text) + which + "：" + limit;
}

}  // namespace

std::optional<std::string> pressureBeyondRange(std::string_view name, std::string_view text) {
  const auto value = calc::parseNumber(text);
  if (value && *value > kMaxPressureMPa) {
    return beyond(name, text, "过大", "栓口动压不能超过 10 MPa");
  }
  return std::nullopt;
}

std::optional<std::string> minFlowBeyondRange(std::string_view name, std::string_view text) {
  const auto value = calc::parseNumber(text);
  if (value && *value > kMaxMinFlow) {
    return beyond(name, text, "过大", "每支水枪最小流量不能超过 50 l/s");
  }
  if (value && *value > 0 && *value < kMinMinFlow) {
    return beyond(name, text, "过小", "每支水枪最小流量不能小于 0.1 l/s");
  }
  return std::nullopt;
}

std::variant<std::string, UsageError> optionValue(std::span<const std::string> args,
                                                  std::size_t& i) {
  const std::string& arg = args[i];
  const std::size_t eq = arg.find('=');
  if (eq != std::string::npos) return arg.substr(eq + 1);
  if (i + 1 < args.size()) return args[++i];
  return UsageError{"选项 " + arg + " 缺少取值"};
}

std::string usageLine() {
  return "用法：hydrant-calc-cli [--hose-length 长度] [--material 材料] [--hose-diameter 直径] "
         "[--nozzle 口径] [--water-column 水柱|--flow 流量] [--width 宽度] [--format "
         "text|json|csv] [--table] [--check] [--occupancy high|other] [--streams 2|1] "
         "[--min-flow 流量] [--pressure 压力] [--batch 文件|-] [--system 项目文件|-]（详见 "
         "--help）";
}

std::string helpText() {
  return "hydrant-calc-cli —— Tavrel小工具的命令行版：室内消火栓水力计算\n"
         "\n" +
         usageLine() +
         "\n"
         "\n"
         "与窗口版使用同一计算，取值按窗口中输入的文字处理；未给出的选项取窗口的初始值。\n"
         "\n"
         "选项：\n"
         "  --hose-length 长度     水龙带长度(m)，默认 20（窗口中可选 20、25）\n"
         "  --material 材料        水龙带材料，默认 麻质（可选 麻质、衬胶）\n"
         "  --hose-diameter 直径   水龙带直径(mm)，默认 50（可选 50、65、80）\n"
         "                         材料与直径须是水龙带阻力表中的组合\n"
         "  --nozzle 口径          水枪喷嘴口径(mm)，默认 19（可选 13、16、19）\n"
         "  --water-column 水柱    充实水柱长度(m)，默认 10（可选 7、10、13）\n"
         "  --flow 流量            已知Tavrel出水量(l/s)：给出时按已知出水量计算充实水柱长度，\n"
         "                         否则按已知充实水柱长度计算出水量；保护半径仍按 --water-column "
         "计算\n"
         "  --width 宽度           最大保护宽度(m)，可不填；填写时计算Tavrel间距，\n"
         "                         宽度大于保护半径时给出警告（标准错误输出；JSON 中为 message）\n"
         "  --format 格式          输出格式：text（默认，每行一个结果）、json、csv（UTF-8 带 "
         "BOM，CRLF 换行）\n"
         "  --table                输出设计表：水龙带长度 × 材料 × 直径 × 喷嘴口径 × "
         "充实水柱长度，\n"
         "                         共 108 行；可与 --width、--format 同用\n"
         "  --check                按 GB 50974-2014 校核：设计工作点（充实水柱、最小流量、\n"
         "                         最小栓口动压三者取大）及各条文的校核结论\n"
         "  --occupancy 场所       high：高层建筑、厂房、库房和室内净空高度超过8m的民用建筑等\n"
         "                         场所（13 m，0.35 MPa）；other：其他场所（10 m，0.25 "
         "MPa，默认）\n"
         "  --streams 股数         同时到达任一点的水枪充实水柱股数：2（默认）或 1\n"
         "  --min-flow 流量        每支水枪最小流量(l/s)，默认 5；表 3.5.2 的小型建筑为 2.5\n"
         "  --pressure 压力        已知栓口动压(MPa)：按此压力求出水量和充实水柱并校核，\n"
         "                         不再取大；隐含 --check\n"
         "  --batch 文件           逐行计算 CSV 文件（- 为标准输入），每行一个结果并校核；\n"
         "                         表头用英文键或窗口标题，缺少的列取命令行的值；\n"
         "                         输出 CSV，--format json 时每行一个 JSON 对象\n"
         "  --system 文件          按项目文件（TOML，- "
         "为标准输入）计算整个消火栓系统：最不利立管、\n"
         "                         水泵扬程、各层压力、减压与孔板；可与 --format、--report 同用\n"
         "  --help                 显示本说明\n"
         "  --version              显示版本号\n"
         "\n"
         "选项的取值可以写在下一个参数中，也可以写成 --选项=取值。\n"
         "\n"
         "退出状态：0 计算完成（含保护宽度过大的警告和校核不满足）；1 计算失败（原因见标准错误输出"
         "或 JSON 的 error；批量计算时任一行失败）\n"
         "          或结果、计算书无法写出；\n"
         "          2 命令行用法错误。\n";
}

}  // namespace cli
