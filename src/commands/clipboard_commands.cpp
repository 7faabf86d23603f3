#include "commands/clipboard_commands.h"

#include <QClipboard>
#include <QGuiApplication>

#include "palette_model/color_text.h"
#include "palette_model/palette_document.h"

namespace tavlo {
namespace {

// A clipboard text as the status can show it: one line, not too long.
QString Quoted(QString text) {
  constexpr qsizetype kShown = 40;
  text = text.simplified();
  if (text.size() > kShown) text = text.left(kShown) + QChar(0x2026);
  return QStringLiteral("\u201C%1\u201D").arg(text);
}

}  // namespace

QString CopyEntryColor(const PaletteDocument& document) {
  const int entry = document.SelectedEntry();
  const QString text = ColorText(document.GetEntryColor(entry));
  QGuiApplication::clipboard()->setText(text);
  return QStringLiteral("Copied %1 (entry %2).").arg(text).arg(entry + 1);
}

QString PasteEntryColor(PaletteDocument& document) {
  const QString text = QGuiApplication::clipboard()->text();
  const std::optional<ColorValue> color = ReadColorText(text);
  if (!color) {
    const QString what = text.trimmed().isEmpty()
                             ? QStringLiteral("The clipboard holds no text")
                             : QStringLiteral("The clipboard's %1 is no colour").arg(Quoted(text));
    return what + QStringLiteral(
                      "; a colour is pasted from #rrggbb, rrggbb or rgb(r, g, b). Nothing "
                      "changed.");
  }
  const int entry = document.SelectedEntry();
  {
    const PaletteStep step(document, QStringLiteral("Paste colour"));
    document.SetEntryColor(entry, *color);
  }
  return QStringLiteral("Pasted %1 into entry %2.").arg(ColorText(*color)).arg(entry + 1);
}

}  // namespace tavlo
