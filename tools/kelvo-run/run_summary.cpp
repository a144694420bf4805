#include "run_summary.h"

#include <algorithm>

#include "app/visible_text.h"
#include "text/exception.h"
#include "text/text_translator.h"

namespace kelvo {

namespace {

using TRow = std::vector<std::string>;

TRow PortRow(const TPortRun& run) {
  const TRunResult& r = run.Result;
  bool ok = r.End == TRunEnd::reCompleted;
  return {run.PortName, Translate(ok ? "выполнен" : "ошибка"),
          r.DetectedSpeed > 0 ? std::to_string(r.DetectedSpeed) : "-",
          FormatMessage(Translate("%s с"), {FormatRunSeconds(r.Duration)}),
          ok ? std::string() : VisibleUtf8(r.Message)};
}

// Every column as wide as its widest cell; the last column is not padded.
std::vector<std::string> LayOut(const std::vector<TRow>& rows) {
  std::vector<size_t> widths(rows.front().size(), 0);
  for (const TRow& row : rows)
    for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));
  std::vector<std::string> lines;
  for (const TRow& row : rows) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c) {
      line += row[c];
      if (c + 1 < row.size()) line += std::string(widths[c] - DisplayWidth(row[c]) + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

size_t DisplayWidth(const std::string& utf8) {
  return static_cast<size_t>(std::count_if(
      utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::vector<std::string> SummaryTable(const TMultiPortRun& run) {
  std::vector<TRow> rows = {{Translate("порт"), Translate("результат"), Translate("скорость"),
                             Translate("время"), Translate("причина")}};
  size_t succeeded = 0;
  for (size_t i = 0; i < run.Count(); ++i) {
    rows.push_back(PortRow(run.Run(i)));
    if (run.Run(i).Result.End == TRunEnd::reCompleted) ++succeeded;
  }
  std::vector<std::string> lines = LayOut(rows);
  lines.push_back(FormatMessage(Translate("выполнено: %s из %s"),
                                {std::to_string(succeeded), std::to_string(run.Count())}));
  return lines;
}

}  // namespace kelvo
