#include "support/picture_files.h"

#include <QtEndian>
#include <cmath>

namespace tavlo::testing {
namespace {

void Add8(QByteArray& out, int v) {
  out.append(char(v & 0xFF));
}
void Add16(QByteArray& out, int v) {
  Add8(out, v);
  Add8(out, v >> 8);
}
void Add32(QByteArray& out, qint64 v) {
  Add16(out, int(v & 0xFFFF));
  Add16(out, int((v >> 16) & 0xFFFF));
}
quint32 ColorRef(QRgb c) {
  return quint32(qRed(c)) | (quint32(qGreen(c)) << 8) | (quint32(qBlue(c)) << 16);
}

// LZW data at a fixed code size of 9 bits: a clear code before every run of at most 250
// literal codes keeps the decoder's table from growing past 512 entries.
QByteArray LzwFixed(const std::vector<quint8>& indices) {
  const int clear = 256;
  const int end = 257;
  std::vector<int> codes;
  for (size_t i = 0; i < indices.size(); ++i) {
    if (i % 250 == 0) codes.push_back(clear);
    codes.push_back(indices[i]);
  }
  codes.push_back(end);
  QByteArray packed;
  quint32 buffer = 0;
  int bits = 0;
  for (int code : codes) {
    buffer |= quint32(code) << bits;
    bits += 9;
    while (bits >= 8) {
      packed.append(char(buffer & 0xFF));
      buffer >>= 8;
      bits -= 8;
    }
  }
  if (bits > 0) packed.append(char(buffer & 0xFF));
  QByteArray blocks;
  Add8(blocks, 8);  // minimum code size
  for (qsizetype at = 0; at < packed.size(); at += 255) {
    const QByteArray chunk = packed.mid(at, 255);
    Add8(blocks, int(chunk.size()));
    blocks.append(chunk);
  }
  Add8(blocks, 0);
  return blocks;
}

}  // namespace

QByteArray MakeGif(int width, int height, const std::vector<QRgb>& table,
                   const std::vector<std::vector<quint8>>& frames) {
  QByteArray out("GIF89a");
  Add16(out, width);
  Add16(out, height);
  Add8(out, 0xF7);  // global table of 256 entries, 8 bits of colour resolution
  Add8(out, 0);
  Add8(out, 0);
  for (int i = 0; i < 256; ++i) {
    const QRgb c = i < int(table.size()) ? table[i] : 0;
    Add8(out, qRed(c));
    Add8(out, qGreen(c));
    Add8(out, qBlue(c));
  }
  for (const auto& frame : frames) {
    Add8(out, 0x2C);
    Add16(out, 0);
    Add16(out, 0);
    Add16(out, width);
    Add16(out, height);
    Add8(out, 0);
    out.append(LzwFixed(frame));
  }
  Add8(out, 0x3B);
  return out;
}

QByteArray MakeRle8Bmp(int width, const std::vector<QRgb>& table,
                       const std::vector<std::vector<std::pair<int, int>>>& rows) {
  QByteArray pixels;
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    for (const auto& [count, index] : *row) {
      Add8(pixels, count);
      Add8(pixels, index);
    }
    Add16(pixels, 0x0000);  // end of line
  }
  Add8(pixels, 0);
  Add8(pixels, 1);  // end of bitmap
  const int tableBytes = int(table.size()) * 4;
  const int offset = 14 + 40 + tableBytes;
  QByteArray out("BM");
  Add32(out, offset + pixels.size());
  Add32(out, 0);
  Add32(out, offset);
  Add32(out, 40);
  Add32(out, width);
  Add32(out, qint64(rows.size()));
  Add16(out, 1);
  Add16(out, 8);
  Add32(out, 1);  // BI_RLE8
  Add32(out, pixels.size());
  Add32(out, 2835);
  Add32(out, 2835);
  Add32(out, qint64(table.size()));
  Add32(out, 0);
  for (QRgb c : table) {
    Add8(out, qBlue(c));
    Add8(out, qGreen(c));
    Add8(out, qRed(c));
    Add8(out, 0);
  }
  out.append(pixels);
  return out;
}

QByteArray MakeWmf(int width, int height, QRgb background, QRect box, QRgb foreground,
                   int unitsPerInch, const QByteArray& text) {
  // Records: size in 16-bit words, function, parameters (coordinates in reverse order).
  QByteArray records;
  qint64 largest = 0;
  auto record = [&](int function, std::initializer_list<int> words) {
    largest = std::max(largest, 3 + qint64(words.size()));
    Add32(records, 3 + qint64(words.size()));
    Add16(records, function);
    for (int w : words) Add16(records, w);
  };
  const auto brush = [&](QRgb c) {
    const quint32 ref = ColorRef(c);
    record(0x02FC, {0, int(ref & 0xFFFF), int(ref >> 16), 0});  // CREATEBRUSHINDIRECT, solid
  };
  record(0x020B, {0, 0});                 // SETWINDOWORG y, x
  record(0x020C, {height, width});        // SETWINDOWEXT y, x
  record(0x02FA, {5, 0, 0, 0, 0});        // CREATEPENINDIRECT, PS_NULL
  record(0x012D, {0});                    // SELECTOBJECT pen
  brush(background);                      // object 1
  record(0x012D, {1});                    // SELECTOBJECT
  record(0x041B, {height, width, 0, 0});  // RECTANGLE bottom, right, top, left
  record(0x01F0, {1});                    // DELETEOBJECT 1
  brush(foreground);                      // object 1 again
  record(0x012D, {1});
  record(0x041B, {box.bottom() + 1, box.right() + 1, box.top(), box.left()});
  if (!text.isEmpty()) {
    // CREATEFONTINDIRECT: height, width, escapement, orientation, weight, italic/underline,
    // strike-out/charset, precisions, quality/pitch, then the face name.
    record(0x02FB,
           {-height / 2, 0, 0, 0, 400, 0, 0, 0, 0, 'A' | ('r' << 8), 'i' | ('a' << 8), 'l'});
    record(0x012D, {2});  // SELECTOBJECT the font
    QByteArray padded = text;
    if (padded.size() % 2) padded.append('\0');
    largest = std::max(largest, 3 + 1 + padded.size() / 2 + 2);
    Add32(records, 3 + 1 + padded.size() / 2 + 2);
    Add16(records, 0x0521);  // TEXTOUT: length, string, y, x
    Add16(records, int(text.size()));
    records.append(padded);
    Add16(records, 0);
    Add16(records, 0);
  }
  record(0x0000, {});  // EOF

  QByteArray out;
  Add32(out, 0x9AC6CDD7);
  Add16(out, 0);
  const int right = width * unitsPerInch / 96;
  const int bottom = height * unitsPerInch / 96;
  Add16(out, 0);
  Add16(out, 0);
  Add16(out, right);
  Add16(out, bottom);
  Add16(out, unitsPerInch);
  Add32(out, 0);
  quint16 checksum = 0;
  for (int i = 0; i < 20; i += 2) checksum ^= qFromLittleEndian<quint16>(out.constData() + i);
  Add16(out, checksum);
  const qint64 totalWords = (18 + records.size()) / 2;
  Add16(out, 1);       // memory metafile
  Add16(out, 9);       // header words
  Add16(out, 0x0300);  // version
  Add32(out, totalWords);
  Add16(out, 3);        // objects
  Add32(out, largest);  // in words
  Add16(out, 0);
  out.append(records);
  return out;
}

QByteArray MakeEmf(int width, int height, QRgb background, QRect box, QRgb foreground) {
  QByteArray records;
  int count = 0;
  auto record = [&](int type, std::initializer_list<qint64> dwords) {
    Add32(records, type);
    Add32(records, 8 + 4 * qint64(dwords.size()));
    for (qint64 d : dwords) Add32(records, d);
    ++count;
  };
  record(39, {1, 0, ColorRef(background), 0});  // CREATEBRUSHINDIRECT handle 1, solid
  record(37, {1});                              // SELECTOBJECT
  record(37, {0x80000008});                     // SELECTOBJECT stock NULL_PEN
  record(43, {0, 0, width, height});            // RECTANGLE
  record(40, {1});                              // DELETEOBJECT
  record(39, {1, 0, ColorRef(foreground), 0});
  record(37, {1});
  record(43, {box.left(), box.top(), box.right() + 1, box.bottom() + 1});
  record(14, {0, 16, 20});  // EOF
  const qint64 total = 88 + records.size();

  QByteArray out;
  Add32(out, 1);
  Add32(out, 88);
  for (int v : {0, 0, width - 1, height - 1}) Add32(out, v);  // bounds, device pixels
  const auto hundredthsMm = [](int pixels) { return int(std::lround(pixels * 2540.0 / 96)); };
  for (int v : {0, 0, hundredthsMm(width), hundredthsMm(height)}) Add32(out, v);  // frame
  Add32(out, 0x464D4520);
  Add32(out, 0x10000);
  Add32(out, total);
  Add32(out, count + 1);
  Add16(out, 2);  // handles
  Add16(out, 0);
  Add32(out, 0);
  Add32(out, 0);
  Add32(out, 0);
  Add32(out, 1920);  // reference device in pixels and in millimetres: 96 dpi
  Add32(out, 1080);
  Add32(out, 508);
  Add32(out, 286);
  out.append(records);
  return out;
}

}  // namespace tavlo::testing
