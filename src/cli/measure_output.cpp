#include "cli/measure_output.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tavlo::cli {
namespace {

constexpr int kBytesWidth = 10;
constexpr int kNumberWidth = 6;
constexpr int kLossWidth = 8;

}  // namespace

QString MeasureTableHeader() {
  return QStringLiteral("%1 %2 %3 %4 %5 %6  %7")
      .arg(QStringLiteral("GIF bytes"), kBytesWidth)
      .arg(QStringLiteral("table"), kNumberWidth)
      .arg(QStringLiteral("used"), kNumberWidth)
      .arg(QStringLiteral("mean ΔE"), kLossWidth)
      .arg(QStringLiteral("max ΔE"), kLossWidth)
      .arg(QStringLiteral("> 1.0"), kLossWidth)
      .arg(QStringLiteral("picture"));
}

QString MeasureTableRow(const QString& picture, const ResultFigures& figures) {
  return QStringLiteral("%1 %2 %3 %4 %5 %6  %7")
      .arg(figures.GifBytes(), kBytesWidth)
      .arg(figures.TableSize(), kNumberWidth)
      .arg(figures.entriesUsed, kNumberWidth)
      .arg(figures.meanLoss, kLossWidth, 'f', 2)
      .arg(figures.maxLoss, kLossWidth, 'f', 2)
      .arg(QString::number(figures.shareAboveOne * 100, 'f', 1) + QLatin1Char('%'), kLossWidth)
      .arg(picture);
}

QString MeasureJsonLine(const QString& picture, const ResultFigures& figures,
                        std::optional<double> budget, int frames) {
  QJsonArray usage;
  for (const std::uint64_t pixels : figures.usage) usage.append(static_cast<qint64>(pixels));
  QJsonObject object{
      {QStringLiteral("picture"), picture},
      {QStringLiteral("gif_bytes"), static_cast<qint64>(figures.GifBytes())},
      {QStringLiteral("table_size"), figures.TableSize()},
      {QStringLiteral("range_size"), figures.rangeSize},
      {QStringLiteral("entries_used"), figures.entriesUsed},
      {QStringLiteral("mean_loss"), figures.meanLoss},
      {QStringLiteral("max_loss"), figures.maxLoss},
      {QStringLiteral("share_above_one"), figures.shareAboveOne},
      {QStringLiteral("pixels"), static_cast<qint64>(figures.pixels)},
      {QStringLiteral("frames"), frames},
      {QStringLiteral("usage"), usage},
      // The transparent entry's index in the GIF's table and in `usage`.
      {QStringLiteral("transparent_index"),
       figures.transparentEntry < 0 ? QJsonValue() : QJsonValue(figures.transparentEntry)},
      {QStringLiteral("transparent_pixels"), static_cast<qint64>(figures.clearPixels)},
      {QStringLiteral("partly_transparent_made_clear"),
       static_cast<qint64>(figures.partlyClearPixels)},
  };
  if (budget) object.insert(QStringLiteral("lossy"), *budget);
  if (figures.viewingPpd > 0) {
    object.insert(QStringLiteral("visible_mean"), figures.visibleMean);
    object.insert(QStringLiteral("visible_share_above_one"), figures.visibleShareAboveOne);
  }
  return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

}  // namespace tavlo::cli
