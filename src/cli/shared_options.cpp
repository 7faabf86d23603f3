#include "cli/shared_options.h"

#include <algorithm>

#include "cli/palette_input.h"
#include "color_science/s_cielab.h"
#include "reduction/loss_budget.h"

namespace tavlo::cli {

std::optional<int> ReadJobs(const CommandLine& line, CliIo& io, int& jobs) {
  jobs = DefaultJobs();
  if (!line.IsSet(QStringLiteral("jobs"))) return std::nullopt;
  const auto given = ParseWholeNumber(line.Value(QStringLiteral("jobs")), 1, kMaximumJobs);
  if (!given)
    return line.UsageError(io, QStringLiteral("--jobs takes a number from 1 to %1, not '%2'.")
                                   .arg(kMaximumJobs)
                                   .arg(line.Value(QStringLiteral("jobs"))));
  jobs = *given;
  return std::nullopt;
}

std::optional<int> ReadRange(const CommandLine& line, CliIo& io, std::optional<EntryRange>& range) {
  range.reset();
  if (!line.IsSet(QStringLiteral("range"))) return std::nullopt;
  range = ParseEntryRange(line.Value(QStringLiteral("range")));
  if (range) return std::nullopt;
  return line.UsageError(io, QStringLiteral("--range takes A-B with 1 <= A <= B <= 256, not '%1'.")
                                 .arg(line.Value(QStringLiteral("range"))));
}

std::optional<int> ReadLossy(const CommandLine& line, CliIo& io, std::optional<double>& budget) {
  budget.reset();
  if (!line.IsSet(QStringLiteral("lossy"))) return std::nullopt;
  budget = ParseLossBudget(line.Value(QStringLiteral("lossy")));
  if (budget) return std::nullopt;
  return line.UsageError(io, QStringLiteral("--lossy takes a CIEDE2000 difference from 0 to 10, "
                                            "not '%1'.")
                                 .arg(line.Value(QStringLiteral("lossy"))));
}

std::optional<int> ReadViewing(const CommandLine& line, CliIo& io, double& ppd) {
  ppd = kDefaultViewingPpd;
  if (!line.IsSet(QStringLiteral("viewing"))) return std::nullopt;
  bool ok = false;
  const QString text = line.Value(QStringLiteral("viewing"));
  ppd = text.toDouble(&ok);
  if (ok && ppd >= kMinViewingPpd && ppd <= kMaxViewingPpd) return std::nullopt;
  return line.UsageError(
      io, QStringLiteral("--viewing takes samples per degree from 1 to 1000, not '%1'.").arg(text));
}

std::optional<int> ReadPalCount(const CommandLine& line, CliIo& io,
                                std::optional<EntryRange>& written) {
  if (!line.IsSet(QStringLiteral("count"))) return std::nullopt;
  const QString count = line.Value(QStringLiteral("count")).trimmed();
  if (count == QLatin1String("16")) {
    written = EntryRange{0, 15};
  } else if (count == QLatin1String("256")) {
    written = EntryRange{0, kPaletteSize - 1};
  } else {
    return line.UsageError(io, QStringLiteral("--count takes 16 or 256, not '%1'.").arg(count));
  }
  return std::nullopt;
}

std::optional<int> ReadPaletteEntries(const CommandLine& line, CliIo& io,
                                      std::optional<EntryRange> range,
                                      std::vector<ColorValue>& entries, EntryRange* chosen) {
  if (!line.IsSet(QStringLiteral("palette")))
    return line.UsageError(io, QStringLiteral("--palette FILE is required."));
  const QString path = line.Value(QStringLiteral("palette"));
  const LoadedPalette palette = LoadPalette(path);
  if (!ReportLoadedPalette(io, path, palette)) return kExitSomeFailed;
  const EntryRange used = range.value_or(palette.Held());
  // Entries past those the file holds are black padding, not colours of the palette.
  if (used.last >= palette.count) {
    const int first = std::max(used.first, palette.count) + 1;
    const int last = used.last + 1;
    ReportWarning(io,
                  QStringLiteral("%1 holds %2 %3; %4 of --range %5-%6 %7 black padding.")
                      .arg(ShownPath(path))
                      .arg(palette.count)
                      .arg(palette.count == 1 ? QStringLiteral("entry") : QStringLiteral("entries"))
                      .arg(first == last ? QStringLiteral("entry %1").arg(first)
                                         : QStringLiteral("entries %1-%2").arg(first).arg(last))
                      .arg(used.first + 1)
                      .arg(last)
                      .arg(first == last ? QStringLiteral("is") : QStringLiteral("are")));
  }
  entries.assign(palette.colors.begin() + used.first, palette.colors.begin() + used.last + 1);
  if (chosen) *chosen = used;
  return std::nullopt;
}

}  // namespace tavlo::cli
