// render_icon SVG SIZE PNG: the icon drawn at SIZE x SIZE pixels, so that every installed size
// comes from the one drawing. The PNG holds the pixels alone (no time stamp), so the same
// drawing always gives the same bytes.
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

// The drawing has shapes alone, no text, so no application object (and no display) is needed.
int main(int argc, char* argv[]) {
  bool sizeOk = false;
  const int size = argc == 4 ? QString::fromLocal8Bit(argv[2]).toInt(&sizeOk) : 0;
  if (!sizeOk || size <= 0) {
    std::fprintf(stderr, "usage: render_icon SVG SIZE PNG\n");
    return 2;
  }
  QSvgRenderer drawing(QString::fromLocal8Bit(argv[1]));
  if (!drawing.isValid()) {
    std::fprintf(stderr, "render_icon: cannot read %s\n", argv[1]);
    return 1;
  }
  QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
  icon.fill(Qt::transparent);
  QPainter painter(&icon);
  drawing.render(&painter);
  painter.end();
  if (!icon.convertToFormat(QImage::Format_ARGB32).save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::fprintf(stderr, "render_icon: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
