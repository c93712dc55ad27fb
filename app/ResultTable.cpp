// Table layout: columns as wide as their widest cell, two spaces apart, no trailing blanks.
#include "app/ResultTable.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <ostream>
#include <string>

#include "platform/Process.h"
#include "platform/Services.h"

namespace app {
namespace {

enum Column { kTarget, kOutcome, kAttach, kSession, kLogoff, kError, kServer, kColumns };
using Row = std::array<std::string, kColumns>;

std::string milliseconds(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

std::string phase(const PhaseStats& stats, bool repeated) {
  if (stats.count == 0) return "-";
  if (!repeated) return milliseconds(stats.median);
  return milliseconds(stats.min) + "/" + milliseconds(stats.median) + "/" + milliseconds(stats.max);
}

const char* colourOf(Outcome outcome) {
  switch (outcome) {
    case Outcome::Connected:
      return "\033[32m";
    case Outcome::Failed:
      return "\033[31m";
    case Outcome::TimedOut:
      return "\033[33m";
  }
  return "";
}

}  // namespace

bool ColourWanted(int fd) {
  const auto noColour = platform::process().getEnv("NO_COLOR");
  if (noColour && !noColour->empty()) return false;
  return ::isatty(fd) == 1;
}

void WriteResultTable(std::ostream& out, const std::vector<TargetResult>& results,
                      const TableStyle& style) {
  const char* unit = style.repeated ? " ms (min/median/max)" : " ms";
  std::vector<Row> rows;
  rows.push_back({"TARGET", "OUTCOME", std::string("ATTACH") + unit, std::string("SESSION") + unit,
                  std::string("LOGOFF") + unit, "ERROR", "SERVER"});
  for (const TargetResult& r : results) {
    rows.push_back({r.target.Display(), OutcomeName(r.outcome), phase(r.attach, style.repeated),
                    phase(r.session, style.repeated), phase(r.logoff, style.repeated),
                    r.error.empty() ? r.warning : r.error, r.serverVersion});
  }
  // The error and server columns are left out when no target has anything to show in them.
  std::array<bool, kColumns> shown{};
  shown.fill(true);
  for (int c : {kError, kServer}) {
    bool any = false;
    for (std::size_t i = 1; i < rows.size(); ++i) any = any || !rows[i][c].empty();
    shown[c] = any;
  }
  std::array<std::size_t, kColumns> width{};
  for (const Row& row : rows)
    for (int c = 0; c < kColumns; ++c) width[c] = std::max(width[c], row[c].size());

  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    int last = kColumns - 1;
    while (last > 0 && (row[last].empty() || !shown[last])) --last;
    std::string line;
    for (int c = 0; c <= last; ++c) {
      if (!shown[c]) continue;
      const bool number = c == kAttach || c == kSession || c == kLogoff;
      const std::string pad(c == last && !number ? 0 : width[c] - row[c].size(), ' ');
      std::string cell = row[c];
      if (c == kOutcome && i > 0 && style.colour)
        cell = colourOf(results[i - 1].outcome) + cell + "\033[0m";
      line += number ? pad + cell : cell + pad;
      if (c < last) line += "  ";
    }
    out << line << '\n';
  }
}

}  // namespace app
