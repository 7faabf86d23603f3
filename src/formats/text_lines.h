#pragma once
// Line-by-line reading of the text palette files.
#include <QByteArrayView>
#include <optional>

namespace tavlo {

// Hands out the lines of a text one by one. A line ends at CR LF, at CR, or at LF; a last line
// without an ending still counts.
class LineReader {
 public:
  explicit LineReader(QByteArrayView text) : text_(text) {}

  std::optional<QByteArrayView> Next() {
    if (pos_ >= text_.size()) return std::nullopt;
    qsizetype end = pos_;
    while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
    const QByteArrayView line = text_.sliced(pos_, end - pos_);
    pos_ = end;
    if (pos_ < text_.size()) {
      // CR LF is one line end; so is CR alone and LF alone.
      const bool carriageReturn = text_[pos_] == '\r';
      ++pos_;
      if (carriageReturn && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    }
    ++number_;
    return line;
  }

  // The 1-based number of the line Next() handed out last.
  int LineNumber() const { return number_; }

 private:
  QByteArrayView text_;
  qsizetype pos_ = 0;
  int number_ = 0;
};

// The text without a leading UTF-8 byte-order mark.
inline QByteArrayView WithoutByteOrderMark(QByteArrayView text) {
  return text.startsWith("\xEF\xBB\xBF") ? text.sliced(3) : text;
}

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The text without leading and trailing spaces and tabs.
inline QByteArrayView TrimBlanks(QByteArrayView text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.sliced(first, last - first);
}

}  // namespace tavlo
