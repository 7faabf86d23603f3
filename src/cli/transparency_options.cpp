#include "cli/transparency_options.h"

#include "base/thousands.h"
#include "reduction/from_image.h"
#include "reduction/nearest_entries.h"
#include "store/transparency_settings.h"

namespace tavlo::cli {
namespace {

const QString kTransparent = QStringLiteral("transparent");
const QString kAlphaThreshold = QStringLiteral("alpha-threshold");
const QString kMatte = QStringLiteral("matte");

QString Pixels(std::uint64_t n) {
  return QString::fromStdString(WithThousands(n)) +
         (n == 1 ? QStringLiteral(" transparent pixel") : QStringLiteral(" transparent pixels"));
}

}  // namespace

QCommandLineOption TransparentOption(bool entryAllowed) {
  if (!entryAllowed)
    return QCommandLineOption(kTransparent,
                              QStringLiteral("auto (the default): when a picture has transparent "
                                             "pixels, entry 1 holds the matte colour and is kept "
                                             "for them; none: they are laid over the matte."),
                              QStringLiteral("auto|none"));
  return QCommandLineOption(
      kTransparent,
      QStringLiteral("Pixels whose alpha is below the threshold get entry N, which no other pixel "
                     "gets, and the file names it transparent; auto takes the first entry no "
                     "opaque pixel uses, for pictures with transparent pixels; none (the default) "
                     "lays them over the matte."),
      QStringLiteral("N|none|auto"));
}

QCommandLineOption AlphaThresholdOption() {
  return QCommandLineOption(kAlphaThreshold,
                            QStringLiteral("Pixels of alpha below A (1 to 255, default 128) are "
                                           "transparent."),
                            QStringLiteral("A"));
}

QCommandLineOption MatteOption() {
  return QCommandLineOption(kMatte,
                            QStringLiteral("The colour the other pixels that are not opaque are "
                                           "laid over (default ffffff, white)."),
                            QStringLiteral("RRGGBB"));
}

std::optional<int> ReadTransparency(const CommandLine& line, CliIo& io, bool entryAllowed,
                                    TransparencyChoice::Mode defaultMode,
                                    TransparencyChoice& choice) {
  choice = TransparencyChoice{};
  choice.mode = defaultMode;
  choice.given = line.IsSet(kTransparent);
  if (choice.given) {
    const QString text = line.Value(kTransparent).trimmed().toLower();
    const std::optional<int> entry =
        entryAllowed ? ParseWholeNumber(text, 1, kPaletteSize) : std::nullopt;
    if (text == QLatin1String("none")) {
      choice.mode = TransparencyChoice::Mode::None;
    } else if (text == QLatin1String("auto")) {
      choice.mode = TransparencyChoice::Mode::Auto;
    } else if (entry) {
      choice.mode = TransparencyChoice::Mode::Entry;
      choice.entry = *entry - 1;
    } else {
      return line.UsageError(io, (entryAllowed ? QStringLiteral("--transparent takes an entry "
                                                                "from 1 to 256, none or auto, "
                                                                "not '%1'.")
                                               : QStringLiteral("--transparent takes auto or "
                                                                "none, not '%1'."))
                                     .arg(line.Value(kTransparent)));
    }
  }
  if (line.IsSet(kAlphaThreshold)) {
    const std::optional<int> threshold = ParseWholeNumber(line.Value(kAlphaThreshold), 1, 255);
    if (!threshold)
      return line.UsageError(io, QStringLiteral("--alpha-threshold takes a number from 1 to 255, "
                                                "not '%1'.")
                                     .arg(line.Value(kAlphaThreshold)));
    choice.alpha.threshold = *threshold;
  }
  if (line.IsSet(kMatte)) {
    const std::optional<ColorValue> matte = ParseMatte(line.Value(kMatte));
    if (!matte)
      return line.UsageError(
          io, QStringLiteral("--matte takes a colour RRGGBB such as ffffff, not '%1'.")
                  .arg(line.Value(kMatte)));
    choice.alpha.matte = *matte;
  }
  return std::nullopt;
}

std::optional<int> CheckTransparentEntry(const CommandLine& line, CliIo& io,
                                         const TransparencyChoice& choice, EntryRange range) {
  if (choice.mode != TransparencyChoice::Mode::Entry) return std::nullopt;
  if (range.Contains(choice.entry) && range.Count() >= 2) return std::nullopt;
  return line.UsageError(io, QStringLiteral("--transparent %1 must be an entry of the range %2-%3, "
                                            "and the range must hold another for opaque pixels.")
                                 .arg(choice.entry + 1)
                                 .arg(range.first + 1)
                                 .arg(range.last + 1));
}

TransparencyRule RuleFor(const TransparencyChoice& choice, EntryRange range, const QImage& picture,
                         const PictureColors* analysed, const std::vector<ColorValue>& entries,
                         QString& note, int threads) {
  TransparencyRule rule{TransparencyRule::kNone, choice.alpha};
  note.clear();
  if (choice.mode == TransparencyChoice::Mode::Entry) {
    rule.entry = choice.entry - range.first;
    return rule;
  }
  if (!picture.hasAlphaChannel()) return rule;  // loaded pictures have one only when needed
  std::optional<PictureColors> own;
  if (!analysed) analysed = &own.emplace(AnalyseImage(picture, choice.alpha, threads));
  const PictureColors& colors = *analysed;
  switch (choice.mode) {
    case TransparencyChoice::Mode::Entry:
      return rule;
    case TransparencyChoice::Mode::Auto:
      if (colors.clearPixels == 0) return rule;
      rule.entry = TransparentEntryIn(FirstEntryFreeOfOpaque(colors, entries, threads),
                                      static_cast<int>(entries.size()));
      if (rule.entry == TransparencyRule::kNone)
        note = QStringLiteral(
                   "%1 laid over the matte: every entry of the range is used by "
                   "opaque pixels, so none is free to be transparent.")
                   .arg(Pixels(colors.clearPixels));
      return rule;
    case TransparencyChoice::Mode::None:
      if (!choice.given && colors.clearPixels > 0)
        note = QStringLiteral(
                   "%1 laid over the matte (--transparent auto keeps them "
                   "transparent).")
                   .arg(Pixels(colors.clearPixels));
      return rule;
  }
  return rule;
}

}  // namespace tavlo::cli
