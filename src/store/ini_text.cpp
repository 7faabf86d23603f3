#include "store/ini_text.h"

#include <QByteArrayView>

namespace tavlo::ini {
namespace {

// Blanks around names and values, including a stray carriage return of a mixed line end.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

QByteArrayView Trimmed(QByteArrayView s) {
  qsizetype begin = 0;
  qsizetype end = s.size();
  while (begin < end && IsBlank(s[begin])) ++begin;
  while (end > begin && IsBlank(s[end - 1])) --end;
  return s.sliced(begin, end - begin);
}

bool SameName(QByteArrayView a, QByteArrayView b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

// One line of the text: [begin, end) without its line end; `next` is where the next line starts.
struct Line {
  qsizetype begin = 0;
  qsizetype end = 0;
  qsizetype next = 0;
};

Line LineAt(const QByteArray& text, qsizetype pos) {
  qsizetype lf = text.indexOf('\n', pos);
  Line line;
  line.begin = pos;
  line.next = lf < 0 ? text.size() : lf + 1;
  line.end = lf < 0 ? text.size() : lf;
  if (line.end > line.begin && text[line.end - 1] == '\r') --line.end;
  return line;
}

QByteArrayView View(const QByteArray& text, const Line& line) {
  return QByteArrayView(text).sliced(line.begin, line.end - line.begin);
}

// The section name of a "[name]" line, or nullopt for other lines.
std::optional<QByteArrayView> SectionName(QByteArrayView line) {
  const QByteArrayView trimmed = Trimmed(line);
  if (trimmed.isEmpty() || trimmed[0] != '[') return std::nullopt;
  qsizetype close = trimmed.indexOf(']');
  if (close < 0) close = trimmed.size();
  return Trimmed(trimmed.sliced(1, close - 1));
}

// Where the key line of `key` in `section` is, and where a new key of that section would go.
struct Location {
  bool sectionFound = false;
  std::optional<Line> keyLine;
  qsizetype insertAt = 0;  // just after the section's last non-blank line
};

Location Locate(const QByteArray& text, QByteArrayView section, QByteArrayView key) {
  Location where;
  bool inSection = false;
  for (qsizetype pos = 0; pos < text.size();) {
    const Line line = LineAt(text, pos);
    pos = line.next;
    const QByteArrayView content = View(text, line);
    if (const auto name = SectionName(content)) {
      if (inSection) break;  // the first matching section ends here
      inSection = SameName(*name, section);
      if (inSection) {
        where.sectionFound = true;
        where.insertAt = line.next;
      }
      continue;
    }
    if (!inSection) continue;
    if (!Trimmed(content).isEmpty()) where.insertAt = line.next;
    const qsizetype eq = content.indexOf('=');
    if (eq < 0) continue;
    if (SameName(Trimmed(content.first(eq)), key)) {
      where.keyLine = line;
      return where;
    }
  }
  return where;
}

QByteArray LineEndOf(const QByteArray& text) {
  const qsizetype lf = text.indexOf('\n');
  if (lf < 0 || (lf > 0 && text[lf - 1] == '\r')) return "\r\n";
  return "\n";
}

}  // namespace

std::optional<QByteArray> FindValue(const QByteArray& text, const QByteArray& section,
                                    const QByteArray& key) {
  const Location where = Locate(text, section, key);
  if (!where.keyLine) return std::nullopt;
  const QByteArrayView content = View(text, *where.keyLine);
  const qsizetype eq = content.indexOf('=');
  return Trimmed(content.sliced(eq + 1)).toByteArray();
}

QByteArray WithValue(const QByteArray& text, const QByteArray& section, const QByteArray& key,
                     const QByteArray& value) {
  const Location where = Locate(text, section, key);
  const QByteArray eol = LineEndOf(text);
  QByteArray result = text;
  if (where.keyLine) {
    const QByteArrayView content = View(text, *where.keyLine);
    const qsizetype eq = content.indexOf('=');
    const QByteArray keyText = Trimmed(content.first(eq)).toByteArray();
    result.replace(where.keyLine->begin, where.keyLine->end - where.keyLine->begin,
                   keyText + '=' + value);
    return result;
  }
  const QByteArray keyLine = key + '=' + value + eol;
  if (where.sectionFound) {
    // The section's last line may lack a line end when it closes the file.
    QByteArray insertion = keyLine;
    if (where.insertAt > 0 && text[where.insertAt - 1] != '\n') insertion.prepend(eol);
    result.insert(where.insertAt, insertion);
    return result;
  }
  if (!result.isEmpty() && !result.endsWith('\n')) result += eol;
  result += '[' + section + ']' + eol + keyLine;
  return result;
}

}  // namespace tavlo::ini
