// hydrant-calc-cli: the calculator's calculation from a shell, the flow-given mode, and
// the design table.

#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "calc/run_errors.h"
#include "calc/utf8.h"
#include "cli/batch.h"
#include "cli/calculation.h"
#include "cli/csv.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/report.h"
#include "cli/system_command.h"
#include "cli/write_output.h"
#include "files/safe_file.h"
#include "files/utf16.h"

#ifdef _WIN32
// windows.h first: shellapi.h needs its types.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#endif

namespace {

// The arguments as UTF-8. Windows hands main() the arguments in the ANSI code page, which
// cannot hold every character typed, so they are taken from the wide command line there.
std::vector<std::string> utf8Arguments(int argc, char** argv) {
  std::vector<std::string> args;
#ifdef _WIN32
  (void)argc;
  (void)argv;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; wide != nullptr && i < count; ++i) args.push_back(files::narrow(wide[i]));
  LocalFree(wide);
#else
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
#endif
  return args;
}

// With --format json every answer is one JSON object, a usage error too.
bool wantsJson(const std::vector<std::string>& args) {
  bool json = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--format" && i + 1 < args.size()) json = args[++i] == "json";
    if (args[i].starts_with("--format=")) json = args[i] == "--format=json";
  }
  return json;
}

int usageError(const std::string& message, bool json) {
  if (json) {
    cli::writeOutput(stdout, cli::jsonLine({{"error", {{"message", message}}}}));
  } else {
    cli::writeOutput(stderr, "hydrant-calc-cli: " + message + "\n" + cli::usageLine() + "\n");
  }
  return cli::kExitUsageError;
}

// The batch from its file or standard input ("-"), each row written as it is calculated:
// output is flushed in blocks, and whenever the input has to be waited for, so that a
// reader of the output sees the rows of what has arrived.
cli::Printed runBatch(const std::string& name, const cli::Options& options) {
  cli::Printed printed;
  std::string reason;
  std::FILE* in = name == "-" ? stdin : files::openInput(name, reason);
  if (in == nullptr) {
    printed.err = "无法读取批量文件" + calc::errors::quoted(name) + "：" + reason + "。\n";
    printed.status = cli::kExitCalcFailed;
    return printed;
  }
  constexpr std::size_t kBlock = std::size_t{1} << 16;
  std::string pending;
  bool written = true;
  const auto flush = [&] {
    if (!pending.empty() && written) written = cli::writeOutput(stdout, pending);
    pending.clear();
  };
  cli::CsvReader reader(in, flush);
  const auto write = [&](std::string_view row) {
    pending += row;
    if (pending.size() >= kBlock) flush();
    return written;
  };
  printed.status = cli::runBatch(reader, options, write, printed.err);
  flush();
  if (in != stdin) std::fclose(in);
  if (!written) printed.status = cli::kExitWriteFailed;
  return printed;
}

// An output that is one of the inputs would destroy it (a project replaced by its sheet) or
// feed on itself (a batch appending rows to its own file): refused before anything is read.
// Standard output then carries nothing, not even a JSON error: it is the input.
std::optional<cli::Printed> outputOverInput(const cli::Options& options) {
  const std::optional<std::string>& input = options.system ? options.system : options.batch;
  if (!input) return std::nullopt;
  const std::string inputName =
      *input == "-" ? "标准输入" : "输入文件“" + calc::oneLine(*input, 64) + "”";
  cli::Printed printed;
  printed.status = cli::kExitCalcFailed;
  const std::optional<std::string>& report = options.report.path;
  if (report && *report != "-") {
    if (!files::sameFile(*report, *input)) return std::nullopt;
    const std::string message = "计算书“" + calc::oneLine(*report, 64) + "”与" + inputName +
                                "是同一个文件，写入会覆盖输入，未写入。";
    if (options.format == cli::Format::Json) {
      printed.out = cli::jsonLine({{"error", {{"message", message}}}});
    } else {
      printed.err = message + "\n";
    }
    return printed;
  }
  const auto out = files::fileIdentity(stdout);
  if (!out || out != files::fileIdentity(*input)) return std::nullopt;
  printed.err = "标准输出与" + inputName + "是同一个文件，写入会覆盖输入，未计算。\n";
  return printed;
}

// Standard output carries the results: when they cannot all be written, say so in one line
// and fail. Standard error is best effort, there is nowhere left to report to. With JSON
// every error is an object on standard output too, the run's last words.
int finish(cli::Printed printed, bool json) {
  if (json) {
    std::string_view err = printed.err;
    for (std::size_t end; (end = err.find('\n')) != std::string_view::npos;
         err.remove_prefix(end + 1)) {
      printed.out += cli::jsonLine({{"error", {{"message", std::string(err.substr(0, end))}}}});
    }
    printed.err = std::string(err);
  }
  if (!cli::writeOutput(stdout, printed.out) || !cli::closeOutput(stdout)) {
    cli::writeOutput(stderr, "hydrant-calc-cli: 无法写出结果（磁盘已满或管道已关闭？）\n");
    return cli::kExitWriteFailed;
  }
  cli::writeOutput(stderr, printed.err);
  return printed.status;
}

}  // namespace

int run(int argc, char** argv) {
#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8);
  // Binary mode: the CSV's CRLF must not become CR CR LF.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
#endif

  std::vector<std::string> args = utf8Arguments(argc, argv);
  const bool json = wantsJson(args);
  const auto parsed = cli::parseOptions(args);
  if (const auto* error = std::get_if<cli::UsageError>(&parsed)) {
    return usageError(error->message, json);
  }
  const cli::Options& options = std::get<cli::Options>(parsed);

  if (options.help) return finish({cli::helpText(), "", cli::kExitOk}, false);
  if (options.version) {
    return finish({std::string("hydrant-calc-cli ") + HYDRANT_VERSION + "\n", "", cli::kExitOk},
                  false);
  }

  if (options.report.path && (options.table || options.batch)) {
    return usageError("--report 不能与 --table 或 --batch 同时使用", json);
  }
  if (auto refused = outputOverInput(options)) {
    cli::writeOutput(stdout, refused->out);
    cli::writeOutput(stderr, refused->err);
    return refused->status;
  }
  cli::Printed printed;
  if (options.system) {
    printed = cli::runSystem(*options.system, options.format, options.report);
  } else if (options.report.path) {
    sheet::SheetRequest request;
    request.entries = options.entries;
    request.design = options.design;
    printed = cli::writeReport(options.report, request);
  } else if (options.batch) {
    printed = runBatch(*options.batch, options);
  } else if (options.table) {
    std::vector<cli::Calculation> rows;
    for (const cli::Entries& entries : cli::designTableEntries(options.entries.width)) {
      rows.push_back(cli::calculate(entries));
    }
    printed = cli::printTable(rows, !options.entries.width.empty(), options.format);
  } else {
    const cli::Calculation calculation = cli::calculate(options.entries);
    if (options.check && !calculation.outputs.error) {
      const cli::Checked checked{options.design,
                                 cli::checkCalculation(calculation, options.design)};
      printed = cli::printCalculation(calculation, options.format, &checked);
    } else {
      printed = cli::printCalculation(calculation, options.format);
    }
  }
  return finish(printed, json);
}

int main(int argc, char** argv) {
  // A batch of any size runs in bounded memory; should memory still run out, anywhere, the
  // program says so in one line instead of aborting.
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("hydrant-calc-cli: 内存不足，计算中止。\n", stderr);
    return cli::kExitCalcFailed;
  }
}
