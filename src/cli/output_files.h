#pragma once
// The rule for every file tavlo-cli writes: written whole through a temporary file or not at all,
// and an existing file replaced only when the user said --force.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tavlo::cli {

// Why the output of each input may not be written, or an empty string where it may. Decided
// before any work, so that the outcome never depends on which input finishes first:
// - an output that exists already is refused unless `force`;
// - an output that several inputs would write goes to the first of them;
// - an output that is another input of the same run is refused even with `force`, so that no
//   input is replaced before it has been read.
// `outputs[i]` is the output of `inputs[i]`.
QStringList RefusedOutputs(const QStringList& inputs, const QStringList& outputs, bool force);

// Writes `bytes` to `path` atomically. Returns an empty string, or why nothing was written. An
// existing file (one made after RefusedOutputs looked, too) is replaced only when `force`.
QString WriteOutput(const QString& path, const QByteArray& bytes, bool force);

// The output of `input` named `input`'s base name followed by `suffix` (".gif", ".loss.png"), in
// `folder`, or beside the input when `folder` is empty.
QString OutputNamed(const QString& input, const QString& folder, const QString& suffix);

// Why `folder` (empty: beside each input) cannot take the outputs, or an empty string. A wrong
// output folder fails the run (exit 1) before anything is read, as every output would fail.
QString OutputFolderProblem(const QString& folder);

// The message for an output that exists and may not be replaced.
QString ExistsAlready(const QString& path);

}  // namespace tavlo::cli
