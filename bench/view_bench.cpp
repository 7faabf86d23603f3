// Benchmark of the comparison view's frames: zoomed to 16:1 over a large photo and panned, each
// frame painted at once, as a user dragging sees them.
//
//   QT_QPA_PLATFORM=offscreen tavlo_view_bench IN.rgb WIDTH HEIGHT PALETTE.act FRAMES
//
// Prints, for the modes "Result", "Split" and "Loss map" at 16:1 and "Result" at fit,
//   FRAME mode=.. zoom=.. view=WxH median_ms=.. max_ms=..
#include <QApplication>
#include <QEventLoop>
#include <chrono>

#include "bench/bench_inputs.h"
#include "result/comparison_canvas.h"
#include "result/result_computer.h"

namespace {

using namespace tavlo;
constexpr const char* kProgram = "tavlo_view_bench";

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 6)
    bench::Fail(kProgram, "usage: tavlo_view_bench IN.rgb WIDTH HEIGHT PALETTE.act FRAMES");
  const int width = bench::PositiveNumber(kProgram, argv[2], "WIDTH");
  const int height = bench::PositiveNumber(kProgram, argv[3], "HEIGHT");
  const int frames = bench::PositiveNumber(kProgram, argv[5], "FRAMES");
  std::vector<uint32_t> pixels =
      bench::ReadRgbPicture(kProgram, argv[1], size_t(width) * size_t(height));
  const std::vector<ColorValue> palette = bench::ReadAct(kProgram, argv[4]);
  const QImage picture = QImage(reinterpret_cast<const uchar*>(pixels.data()), width, height,
                                width * 4, QImage::Format_RGB32)
                             .copy();

  ResultComputer computer;
  QEventLoop wait;
  QObject::connect(&computer, &ResultComputer::Ready, &wait, &QEventLoop::quit);
  computer.Request(picture, palette);
  wait.exec();

  ComparisonCanvas canvas(computer);
  canvas.resize(1280, 800);
  canvas.SetPicture(picture);
  canvas.show();
  using Mode = ComparisonCanvas::Mode;
  const struct {
    const char* name;
    Mode mode;
    int zoom;
  } runs[] = {{"result", Mode::kResult, 16},
              {"split", Mode::kSplit, 16},
              {"loss_map", Mode::kLossMap, 16},
              {"result", Mode::kResult, ComparisonCanvas::kFit}};
  for (const auto& run : runs) {
    canvas.SetMode(run.mode);
    canvas.SetZoom(run.zoom);
    std::vector<double> ms;
    for (int frame = 0; frame < frames; ++frame) {
      canvas.CentreOn(
          QPoint(width / 4 + frame * 7 % (width / 2), height / 4 + frame * 3 % (height / 2)));
      const auto start = std::chrono::steady_clock::now();
      canvas.grab();  // paints the frame as a repaint does, also where nothing is on a screen
      ms.push_back(
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count());
    }
    const double largest = *std::max_element(ms.begin(), ms.end());
    std::printf("FRAME mode=%s zoom=%d view=%dx%d median_ms=%.2f max_ms=%.2f\n", run.name, run.zoom,
                canvas.width(), canvas.height(), bench::Median(ms), largest);
  }
  return 0;
}
