#pragma once
// PNGs as libpng itself reads them, for checking the program's decoder: every colour type and
// depth, tRNS expanded to alpha, each sample widened to 16 bits by libpng and brought to 8 here
// by rounding. ARGB32 when the file has alpha or tRNS, RGB32 otherwise; null when libpng fails.
#include <QByteArray>
#include <QImage>

namespace tavlo::testing {

QImage ReadPngAsLibpngDoes(const QByteArray& bytes);

}  // namespace tavlo::testing
