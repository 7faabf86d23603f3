#include "result/result_texts.h"

#include <algorithm>

#include <QLocale>
#include <cmath>

#include "base/thousands.h"
#include "reduction/animated_gif.h"

namespace tavlo {
namespace {

const QLocale& Numbers() {
  static const QLocale english(QLocale::English);
  return english;
}

// A signed change: "+0.12", "−0.12" (a true minus sign), "0.00".
QString Signed(double change, int decimals) {
  const double shown = std::round(change * std::pow(10, decimals)) / std::pow(10, decimals);
  const QString magnitude = Numbers().toString(std::abs(shown), 'f', decimals);
  if (shown > 0) return QLatin1Char('+') + magnitude;
  if (shown < 0) return QChar(0x2212) + magnitude;
  return magnitude;
}

// "mean 1.85, max 22.92; 66.3 % of pixels above 1.0".
QString LossText(double mean, double max, double shareAboveOne) {
  return QStringLiteral("mean %1, max %2; %3 of pixels above 1.0")
      .arg(Numbers().toString(mean, 'f', 2), Numbers().toString(max, 'f', 2),
           Numbers().toString(100 * shareAboveOne, 'f', 1) + QStringLiteral(" %"));
}

}  // namespace

QString ByteCountText(qint64 bytes) {
  return QStringLiteral("%1 bytes")
      .arg(QString::fromStdString(WithThousands(std::uint64_t(bytes))));
}

QString ByteChangeText(qint64 change) {
  if (change == 0) return QStringLiteral("no change");
  const QString magnitude =
      QString::fromStdString(WithThousands(std::uint64_t(change < 0 ? -change : change)));
  return QStringLiteral("%1%2 bytes").arg(change < 0 ? QChar(0x2212) : QLatin1Char('+'), magnitude);
}

QString TableText(const ResultFigures& figures) {
  return QStringLiteral("%1 entries, %2 used").arg(figures.TableSize()).arg(figures.entriesUsed);
}

QString TableHintText(const ResultFigures& figures) {
  if (figures.smallerTable == 0) return {};
  const int n = figures.aboveSmallerTable;
  return QStringLiteral("remove %1 %2 to halve the table")
      .arg(n)
      .arg(n == 1 ? QStringLiteral("entry") : QStringLiteral("entries"));
}

QString ShareText(double share) {
  return QStringLiteral("%1 %").arg(Numbers().toString(100 * share, 'f', 2));
}

QString LossText(const ResultFigures& figures) {
  if (figures.pixels > 0 && figures.Measured() == 0)
    return QStringLiteral("not measured: no pixel is opaque");
  QString text = LossText(figures.meanLoss, figures.maxLoss, figures.shareAboveOne);
  // Pixels changed by laying them over the matte would count as lossless: they are left out.
  if (figures.unmeasured > 0)
    text += QStringLiteral("; %1 transparent pixels not measured")
                .arg(QString::fromStdString(WithThousands(figures.unmeasured)));
  return text;
}

QString FrameText(const ResultFigures& figures, int k) {
  if (k < 0 || size_t(k) >= figures.frames.size()) return {};
  const ResultFigures::Frame& frame = figures.frames[size_t(k)];
  const double share = double(frame.bytes) / std::max<double>(1, double(figures.GifBytes()));
  QString text = QStringLiteral("%1 (%2 %); mean %3, max %4")
                     .arg(ByteCountText(frame.bytes), Numbers().toString(100 * share, 'f', 1),
                          Numbers().toString(frame.meanLoss, 'f', 2),
                          Numbers().toString(frame.maxLoss, 'f', 2));
  if (figures.mergedFrames > 0)
    text += QStringLiteral("; ") + MergedFramesText(figures.mergedFrames);
  return text;
}

QString VisibleLossText(const ResultFigures& figures) {
  if (figures.visibleLoss.empty()) return {};
  return QStringLiteral("mean %1; %2 of pixels above 1.0")
      .arg(Numbers().toString(figures.visibleMean, 'f', 2),
           Numbers().toString(100 * figures.visibleShareAboveOne, 'f', 1) + QStringLiteral(" %"));
}

QString BudgetEffectText(const ResultFigures& figures) {
  if (figures.exact.gifBytes <= 0) return {};
  const double change =
      100.0 * double(figures.GifBytes() - figures.exact.gifBytes) / double(figures.exact.gifBytes);
  return QStringLiteral("%1 % for %2 mean \u0394E")
      .arg(Signed(change, 0), Signed(figures.meanLoss - figures.exact.meanLoss, 2));
}

QString ExactText(const ResultFigures& figures) {
  const ResultFigures::Exact& exact = figures.exact;
  return ByteCountText(exact.gifBytes) + QStringLiteral("; ") +
         LossText(exact.meanLoss, exact.maxLoss, exact.shareAboveOne);
}

QString LossChangeText(const ResultFigures& now, const ResultFigures& before) {
  return QStringLiteral("mean %1, max %2, %3 % above 1.0")
      .arg(Signed(now.meanLoss - before.meanLoss, 2), Signed(now.maxLoss - before.maxLoss, 2),
           Signed(100 * (now.shareAboveOne - before.shareAboveOne), 1));
}

QString TransparencyText(const ResultFigures& figures) {
  if (figures.clearPixels == 0) return {};
  const QString clear = QString::fromStdString(WithThousands(figures.clearPixels));
  if (figures.transparentEntry == TransparencyRule::kNone)
    return QStringLiteral("%1 transparent %2 made opaque (laid over the matte)")
        .arg(clear, figures.clearPixels == 1 ? QStringLiteral("pixel") : QStringLiteral("pixels"));
  QString text = QStringLiteral("%1 transparent").arg(clear);
  if (figures.partlyClearPixels > 0)
    text += QStringLiteral("; %1 partly transparent %2 made clear")
                .arg(QString::fromStdString(WithThousands(figures.partlyClearPixels)),
                     figures.partlyClearPixels == 1 ? QStringLiteral("pixel")
                                                    : QStringLiteral("pixels"));
  return text;
}

}  // namespace tavlo
