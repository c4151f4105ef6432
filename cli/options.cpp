#include "cli/options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <memory>
#include <utility>
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

// An argument the table has no option for, quoted as calculation errors quote an entry:
// whatever bytes it holds, one line.
UsageError notAnOption(const std::string& arg) {
  const std::string shown = calc::errors::quoted(arg);
  if (!arg.starts_with("-") || arg == "-") return UsageError{"多余的参数：" + shown};
  return UsageError{"未知选项：" + shown};
}

// Every option of the table, with its help in its group, and which go together: the title
// options need --report, --system and --table exclude what they would silently ignore.
using Added = std::pair<const InputRow*, CLI::Option*>;
constexpr std::string_view kOptionsGroup = "选项";
constexpr std::string_view kSheetGroup = "计算书（HTML，可打印为 A4）";

std::vector<Added> addOptions(CLI::App& app, Options& options) {
  app.set_help_flag();  // --help is a row of the table, with its own text
  app.allow_extras();   // reported below in our words
  std::vector<Added> added;
  for (const InputRow& row : inputRows()) {
    if (row.option.empty()) continue;
    const auto use = [&options, r = &row](const std::string& text) {
      Reading reading{options.entries, options.design, &options, r->option};
      if (auto error = r->apply(reading, text)) throw Refused{*error};
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
    option->description(std::string(row.help))->type_name(std::string(row.value));
    const bool sheet = row.kind == InputKind::Report || row.kind == InputKind::Title;
    option->group(std::string(sheet ? kSheetGroup : kOptionsGroup));
    added.emplace_back(&row, option);
  }
  CLI::Option* const report = app.get_option("--report");
  CLI::Option* const system = app.get_option("--system");
  CLI::Option* const table = app.get_option("--table");
  for (const auto& [row, option] : added) {
    // The title block only goes on a sheet.
    if (row->kind == InputKind::Title) option->needs(report);
    // The system takes everything from its project file, and the table runs over every entry
    // the window offers: anything else given beside them would be silently ignored.
    const bool takenWithSystem = row->kind == InputKind::Report || row->kind == InputKind::Title ||
                                 row->kind == InputKind::Info || option == system ||
                                 row->option == "--format";
    if (!takenWithSystem) system->excludes(option);
    if (row->kind == InputKind::Entry || row->kind == InputKind::Design) table->excludes(option);
  }

  return added;
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
  CLI::App app;
  const std::vector<Added> added = addOptions(app, options);

  // The pair of options named by a broken requirement, "--a requires --b".
  std::optional<std::pair<std::string, std::string>> conflict;
  const auto pairOf = [](const CLI::ParseError& error, std::string_view between) {
    const std::string what = error.what();
    const std::size_t at = what.find(between);
    return std::pair(what.substr(0, at), what.substr(at + between.size()));
  };
  bool excludes = false;
  try {
    app.parse(std::vector<std::string>(argv.rbegin(), argv.rend()));
  } catch (const Refused& refused) {
    return UsageError{refused.message};
  } catch (const CLI::RequiresError& error) {
    conflict = pairOf(error, " requires ");
  } catch (const CLI::ExcludesError& error) {
    conflict = pairOf(error, " excludes ");
    excludes = true;
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
  if (conflict && !excludes) {
    return UsageError{conflict->first + " 只用于计算书的标题栏，须与 --report 同用"};
  }
  // With --help or --version nothing is run, so nothing is ignored.
  if (conflict && !options.help && !options.version) {
    auto [first, other] = *conflict;
    if (other == "--system" || (other == "--table" && first != "--system")) std::swap(first, other);
    if (first == "--system") {
      return UsageError{"--system 不能与 " + other + " 同时使用（系统计算的输入全部取自项目文件）"};
    }
    const bool entry = std::any_of(added.begin(), added.end(), [&](const auto& pair) {
      return pair.first->option == other && pair.first->kind == InputKind::Entry;
    });
    return UsageError{
        "--table 不能与 " + other +
        (entry ? " 同时使用（设计表已包含全部选项）" : " 同时使用（设计表不含规范校核）")};
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

// The help in Chinese, from the parser's own options and groups: each option as
// "  --option 值" padded to one column, its description's later lines indented to it.
class ChineseHelp : public CLI::Formatter {
 public:
  std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
    std::string out = app->get_description();
    for (std::string_view group : {kOptionsGroup, kSheetGroup}) {
      out += (group == kOptionsGroup ? "" : "\n") + std::string(group) + "：\n";
      for (const CLI::Option* option :
           app->get_options([group](const CLI::Option* o) { return o->get_group() == group; })) {
        out += make_option(option, false);
      }
    }
    return out + app->get_footer();
  }

  std::string make_option(const CLI::Option* option, bool) const override {
    constexpr std::size_t kColumn = 24;
    std::string head;
    for (const std::string& name : option->get_snames()) head += "-" + name + ", ";
    head += "--" + option->get_lnames().front();
    if (!option->get_type_name().empty()) head += " " + option->get_type_name();
    const std::size_t width = displayWidth(head);
    std::string out = "  " + head + std::string(width + 2 > kColumn ? 2 : kColumn - width, ' ');
    std::string_view help = option->get_description();
    for (bool first = true; !help.empty(); first = false) {
      const std::size_t end = help.find('\n');
      if (!first) out += std::string(kColumn + 2, ' ');
      out.append(help.substr(0, end));
      out += '\n';
      help.remove_prefix(end == std::string_view::npos ? help.size() : end + 1);
    }
    return out;
  }
};

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
  Options options;
  CLI::App app;
  addOptions(app, options);
  app.formatter(std::make_shared<ChineseHelp>());
  app.description(
      "hydrant-calc-cli —— Tavrel小工具的命令行版：室内消火栓水力计算\n"
      "\n" +
      usageLine() +
      "\n"
      "\n"
      "与窗口版使用同一计算，取值按窗口中输入的文字处理；未给出的选项取窗口的初始值。\n"
      "\n");
  std::string columns;
  std::string sheetSettings;
  for (const InputRow& row : inputRows()) {
    if (row.kind == InputKind::Design && !row.key.empty()) {
      sheetSettings += (sheetSettings.empty() ? "" : "、") + std::string(row.option);
    }
    if (!row.key.empty()) {
      const std::string key(row.key);
      columns += "  " + key + std::string(key.size() < 14 ? 14 - key.size() : 1, ' ') +
                 std::string(row.caption) + "\n";
    }
  }
  app.footer("  " + sheetSettings +
             " 同样作用于计算书。\n"
             "  计算书无法写入时退出状态为 1，原因见标准错误输出。\n"
             "\n"
             "批量文件的列（表头写英文键或窗口标题，标题的单位和冒号可省略）：\n" +
             columns +
             "\n"
             "选项的取值可以写在下一个参数中，也可以写成 --选项=取值。\n"
             "\n"
             "退出状态：0 计算完成（含保护宽度过大的警告和校核不满足）；1 计算失败（原因见标准错误"
             "输出或 JSON 的 error；批量计算时任一行失败）\n"
             "          或结果、计算书无法写出；\n"
             "          2 命令行用法错误。\n");
  return app.help();
}

}  // namespace cli
