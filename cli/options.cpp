#include "cli/options.h"

#include <CLI/CLI.hpp>

#include <vector>

#include "calc/run_errors.h"
#include "cli/inputs.h"
#include "cli/utf8.h"

namespace cli {

namespace {

// A value an option does not take, thrown out of the parser's callback to stop at once.
struct Refused {
  std::string message;
};

const InputRow* valueOption(std::string_view arg) {
  for (const InputRow& row : inputRows()) {
    if (!row.option.empty() && !row.value.empty() && row.option == arg) return &row;
  }
  return nullptr;
}

// An option's value is the next argument whatever it holds, so that `--flow -1`,
// `--width ""` and `--nozzle -x` reach the option instead of being taken for options or
// dropped: each such pair is handed to the parser as `--option=value`.
std::variant<std::vector<std::string>, UsageError> attachValues(std::span<const std::string> args) {
  std::vector<std::string> joined;
  joined.reserve(args.size());
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (valueOption(args[i]) == nullptr) {
      joined.push_back(args[i]);
    } else if (i + 1 < args.size()) {
      joined.push_back(args[i] + "=" + args[i + 1]);
      ++i;
    } else {
      return UsageError{"选项 " + args[i] + " 缺少取值"};
    }
  }
  return joined;
}

std::string listOf(InputKind kind) {
  std::string names;
  for (const InputRow& row : inputRows()) {
    if (row.kind != kind) continue;
    if (!names.empty()) names += "、";
    names += row.option;
  }
  return names;
}

// An argument the table has no option for, quoted as calculation errors quote an entry:
// whatever bytes it holds, one line.
UsageError notAnOption(const std::string& arg) {
  const std::string shown = calc::errors::quoted(arg);
  if (!arg.starts_with("-") || arg == "-") return UsageError{"多余的参数：" + shown};
  return UsageError{"未知选项：" + shown};
}

}  // namespace

std::variant<Options, UsageError> parseOptions(std::span<const std::string> args) {
  auto attached = attachValues(args);
  if (auto* error = std::get_if<UsageError>(&attached)) return *error;
  std::vector<std::string>& argv = std::get<std::vector<std::string>>(attached);

  // A short option given a value ("-h=1"): the parser would split it into pieces that were
  // never typed, so it is refused as typed.
  for (const std::string& arg : argv) {
    if (arg.size() > 2 && arg[0] == '-' && arg[1] != '-' && arg.find('=') != std::string::npos) {
      return notAnOption(arg);
    }
  }

  Options options;
  // The table runs over every entry the window offers; an entry given with it would be
  // silently ignored, so it is refused instead, naming the last one given.
  std::string_view entryGiven;
  std::string_view designGiven;
  // The system takes everything from its project file: any entry, setting or other run given
  // beside it would be ignored, so it is refused, naming the last one given.
  std::string_view besideSystem;
  bool titleGiven = false;

  CLI::App app;
  app.set_help_flag();  // --help is a row of the table, with its own text
  app.allow_extras();   // reported below in our words
  for (const InputRow& row : inputRows()) {
    if (row.option.empty()) continue;
    const auto use = [&, r = &row](const std::string& text) {
      Reading reading{options.entries, options.design, &options, r->option};
      if (auto error = r->apply(reading, text)) throw Refused{*error};
      if (r->kind == InputKind::Entry) entryGiven = r->option;
      if (r->kind == InputKind::Design) designGiven = r->option;
      if (r->kind == InputKind::Title) titleGiven = true;
      const bool takenWithSystem = r->kind == InputKind::Report || r->kind == InputKind::Title ||
                                   r->kind == InputKind::Info || r->option == "--format" ||
                                   r->option == "--system";
      if (!takenWithSystem) besideSystem = r->option;
    };
    std::string names(row.option);
    if (!row.shortOption.empty()) names = std::string(row.shortOption) + "," + names;
    CLI::Option* option = nullptr;
    if (row.value.empty()) {
      option = app.add_flag_callback(names, [use] { use(""); });
      option->disable_flag_override();
    } else {
      option = app.add_option(names, [use](const CLI::results_t& results) {
        use(results.empty() ? "" : results.back());
        return true;
      });
      // `--width=` gives the empty value.
      option->expected(0, 1);
    }
    // In command-line order, each time given, so the last one counts.
    option->trigger_on_parse()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  }

  try {
    app.parse(std::vector<std::string>(argv.rbegin(), argv.rend()));
  } catch (const Refused& refused) {
    return UsageError{refused.message};
  } catch (const CLI::ParseError&) {
    // A flag given a value (`--table=1`): no such option takes one.
    for (const std::string& arg : argv) {
      if (arg.find('=') != std::string::npos && arg.starts_with("--")) {
        const std::string_view name = std::string_view(arg).substr(0, arg.find('='));
        if (valueOption(name) == nullptr) return notAnOption(arg);
      }
    }
    return UsageError{"无法识别的命令行参数"};
  }
  if (const std::vector<std::string> extra = app.remaining(); !extra.empty()) {
    return notAnOption(extra.front());
  }

  if (!options.report.path && titleGiven) {
    return UsageError{listOf(InputKind::Title) + " 只用于计算书，须与 --report 同用"};
  }
  if (options.system && !besideSystem.empty() && !options.help && !options.version) {
    return UsageError{"--system 不能与 " + std::string(besideSystem) +
                      " 同时使用（系统计算的输入全部取自项目文件）"};
  }
  if (options.table && !options.help && !options.version) {
    if (!entryGiven.empty()) {
      return UsageError{"--table 不能与 " + std::string(entryGiven) +
                        " 同时使用（设计表已包含全部选项）"};
    }
    if (!designGiven.empty()) {
      return UsageError{"--table 不能与 " + std::string(designGiven) +
                        " 同时使用（设计表不含规范校核）"};
    }
  }
  return options;
}

namespace {

std::string optionWithValue(const InputRow& row) {
  std::string text(row.option);
  if (!row.shortOption.empty()) text = std::string(row.shortOption) + ", " + text;
  if (!row.value.empty()) text += " " + std::string(row.value);
  return text;
}

// "  --option 值" padded to one column, then the help's lines, the later ones indented to it.
std::string helpLines(const InputRow& row) {
  constexpr std::size_t kColumn = 24;
  const std::string head = optionWithValue(row);
  const std::size_t width = displayWidth(head);
  std::string out = "  " + head + std::string(width + 2 > kColumn ? 2 : kColumn - width, ' ');
  std::string_view help = row.help;
  for (bool first = true; !help.empty(); first = false) {
    const std::size_t end = help.find('\n');
    if (!first) out += std::string(kColumn + 2, ' ');
    out.append(help.substr(0, end));
    out += '\n';
    help.remove_prefix(end == std::string_view::npos ? help.size() : end + 1);
  }
  return out;
}

}  // namespace

std::string usageLine() {
  std::string line = "用法：hydrant-calc-cli";
  for (const InputRow& row : inputRows()) {
    if (row.option.empty() || row.kind == InputKind::Info || row.kind == InputKind::Title) continue;
    line += " [" + optionWithValue(row) + "]";
  }
  return line + "（详见 --help）";
}

std::string helpText() {
  std::string text =
      "hydrant-calc-cli —— Tavrel小工具的命令行版：室内消火栓水力计算\n"
      "\n" +
      usageLine() +
      "\n"
      "\n"
      "与窗口版使用同一计算，取值按窗口中输入的文字处理；未给出的选项取窗口的初始值。\n"
      "\n"
      "选项：\n";
  std::string report = "\n计算书（HTML，可打印为 A4）：\n";
  std::string columns;
  std::string sheetSettings;
  for (const InputRow& row : inputRows()) {
    if (row.kind == InputKind::Report || row.kind == InputKind::Title) {
      report += helpLines(row);
    } else if (!row.option.empty()) {
      text += helpLines(row);
    }
    if (row.kind == InputKind::Design && !row.key.empty()) {
      sheetSettings += (sheetSettings.empty() ? "" : "、") + std::string(row.option);
    }
    if (!row.key.empty()) {
      const std::string key(row.key);
      columns += "  " + key + std::string(key.size() < 14 ? 14 - key.size() : 1, ' ') +
                 std::string(row.caption) + "\n";
    }
  }
  return text + report + "  " + sheetSettings +
         " 同样作用于计算书。\n"
         "  计算书无法写入时退出状态为 1，原因见标准错误输出。\n"
         "\n"
         "批量文件的列（表头写英文键或窗口标题，标题的单位和冒号可省略）：\n" +
         columns +
         "\n"
         "选项的取值可以写在下一个参数中，也可以写成 --选项=取值。\n"
         "\n"
         "退出状态：0 计算完成（含保护宽度过大的警告和校核不满足）；1 计算失败（原因见标准错误输出"
         "或 JSON 的 error；批量计算时任一行失败）\n"
         "          或结果、计算书无法写出；\n"
         "          2 命令行用法错误。\n";
}

}  // namespace cli
