#include "cli/report.h"

#include "calc/utf8.h"
#include "files/safe_file.h"

namespace cli {

Printed writeReport(const ReportOptions& report, sheet::SheetRequest request) {
  request.title = report.title;
  request.date = report.date.value_or(files::todayText());
  return deliverSheet(*report.path, sheet::makeSheet(request));
}

Printed deliverSheet(const std::string& path, const calc::Result<std::string>& html) {
  Printed printed;
  if (!html.ok()) {
    printed.err = calc::oneLine(html.error().message) + "\n";
    printed.status = kExitCalcFailed;
  } else if (path == "-") {
    printed.out = html.value();
  } else if (const auto reason = files::writeFileAtomically(path, html.value())) {
    printed.err = *reason + "\n";
    printed.status = kExitWriteFailed;
  }
  return printed;
}

}  // namespace cli
