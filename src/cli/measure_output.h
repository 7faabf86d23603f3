#pragma once
// How measure prints a picture's figures: a row of a table whose columns line up however long the
// names are (the name comes last), or one JSON object on a line.
#include <QString>
#include <optional>

#include "reduction/result_figures.h"

namespace tavlo::cli {

QString MeasureTableHeader();
QString MeasureTableRow(const QString& picture, const ResultFigures& figures);
// One object with the keys entries_used, frames, gif_bytes, lossy (with a loss budget only),
// max_loss, mean_loss, picture, pixels, range_size, share_above_one, table_size and usage (in that
// order): the losses in CIEDE2000 units, the share from 0 to 1, the usage the pixels of each range
// entry in range order. Of an animation of `frames` frames, the figures are of all of them: the
// pixels and usage are sums over the frames, the GIF the animated one.
QString MeasureJsonLine(const QString& picture, const ResultFigures& figures,
                        std::optional<double> budget = std::nullopt, int frames = 1);

}  // namespace tavlo::cli
