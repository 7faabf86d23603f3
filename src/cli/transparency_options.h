#pragma once
// --transparent, --alpha-threshold and --matte: how reduce, measure and palette treat pictures
// with transparent pixels, and the choice of the transparent entry for each picture.
#include <QCommandLineOption>
#include <QImage>
#include <optional>
#include <vector>

#include "base/entry_range.h"
#include "cli/command_line.h"
#include "reduction/picture_colors.h"
#include "reduction/transparency.h"

namespace tavlo::cli {

QCommandLineOption TransparentOption(bool entryAllowed);  // --transparent N|none|auto
QCommandLineOption AlphaThresholdOption();                // --alpha-threshold A
QCommandLineOption MatteOption();                         // --matte RRGGBB

struct TransparencyChoice {
  enum class Mode { None, Entry, Auto };
  Mode mode = Mode::None;
  bool given = false;  // --transparent was on the command line
  int entry = -1;      // Entry: the palette index
  AlphaRule alpha;
};

// The three options, with `defaultMode` when --transparent is not given. `entryAllowed` is false
// for a command that takes only none or auto. An exit code when a value is wrong.
std::optional<int> ReadTransparency(const CommandLine& line, CliIo& io, bool entryAllowed,
                                    TransparencyChoice::Mode defaultMode,
                                    TransparencyChoice& choice);

// A usage error when --transparent N lies outside the range the pictures are reduced to.
std::optional<int> CheckTransparentEntry(const CommandLine& line, CliIo& io,
                                         const TransparencyChoice& choice, EntryRange range);

// The rule for one picture reduced to `entries`, the range's colours: the chosen entry, or for
// auto the first entry no opaque pixel takes when the picture has clear pixels. `colors` are the
// picture's, analysed by the choice's alpha rule, or nullptr to have them analysed when needed.
// `note` gets a sentence for the user when clear pixels are laid over the matte.
TransparencyRule RuleFor(const TransparencyChoice& choice, EntryRange range, const QImage& picture,
                         const PictureColors* colors, const std::vector<ColorValue>& entries,
                         QString& note, int threads);

}  // namespace tavlo::cli
