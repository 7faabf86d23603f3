#pragma once
// The exact nearest-colour lookup behind the preview.
//
// Every colour of the RGB cube belongs to one "brick" of 4 x 4 x 4 colours (64 x 64 x 64 bricks),
// and every brick to a cell of 2 x 2 x 2 bricks (8 x 8 x 8 colours, 32 x 32 x 32 cells). The first
// pixel that falls into a cell resolves all eight of its bricks: the nearest palette entry of each
// of the cell's 512 colours is computed, and a brick whose 64 colours all have the same nearest
// entry shares one of 256 constant leaves, while any other brick gets a leaf of its own holding
// the nearest entry of each of its colours. After that a pixel costs a handful of instructions and
// three table reads (brick, leaf, palette colour), whatever the palette size.
//
// Resolving a cell needs the few palette entries that can be nearest somewhere in it. They come
// from candidate lists built on first use as well: coarse cells of 32 units (8 x 8 x 8) keep the
// entries of the whole palette that can be nearest somewhere in them, and each 8-unit cell filters
// the list of its coarse cell. An entry stays a candidate of a box when its smallest possible
// distance to the box is no larger than the smallest "largest distance" from the box to any
// candidate: some candidate is at least that near to every point of the box, so an entry farther
// than that from the whole box is never nearest. The nearest entry of any point, and every entry
// tied with it, always survives, so the answers are exact.
//
// Ties go to the lower palette index: repeated colours are dropped up front (the first index keeps
// the colour), and the cell computation compares distance and index as one key,
// distance * 256 + index.
//
// Memory per table: the brick index 1 MiB (one 32-bit entry per brick) in a 2-MiB page, leaves at
// most 4 MiB, both in 2-MiB pages where the system gives them (fewer address translations for the
// pixel loop); candidate lists at most 128 KiB + 1 MiB, the coarse lists' colours 384 KiB; the
// cells' indexes 200 KiB: below 8 MiB of memory in all. When the leaf storage is full, every brick
// is forgotten and resolved again as pixels need it; when the list storage is full, further cells
// use their coarse list. Both only cost time; the answers stay exact.
#include <stddef.h>
#include <stdint.h>

#include <memory>

namespace tavlo::colorlib {

// The palette as the lookup needs it; built once per call and shared read-only by all workers.
struct PreparedPalette {
  int distinct = 0;       // number of distinct colours
  int32_t red[256] = {};  // channels of the distinct colours, in the order of their first index
  int32_t green[256] = {};
  int32_t blue[256] = {};
  uint8_t firstIndex[256] = {};  // palette index of each distinct colour (its first occurrence)
  uint32_t pixel[256] = {};      // output pixel 0xFFRRGGBB of each palette index
  bool operator==(const PreparedPalette&) const = default;
};

// `palette` holds `count` colour values 0x00BBGGRR, 1 <= count <= 256.
PreparedPalette PreparePalette(const int32_t* palette, int count);

// Index of the nearest palette colour by the plain search over all distinct colours.
int NearestBySearch(const PreparedPalette& palette, int red, int green, int blue);

// Storage limits of a table; smaller ones only make sense for tests of the full-storage paths.
struct TableLimits {
  int leaves = 0xFFFF;                       // leaf numbers, 265..65535 (see NearestTable::bricks_)
  size_t middleListBytes = size_t{1} << 20;  // storage of the middle cells' candidate lists
  bool portableLoop = false;  // the pixel loop for any processor, even where a faster one runs
  bool operator==(const TableLimits&) const = default;
};

class NearestTable {
 public:
  // Throws std::bad_alloc when its storage cannot be had.
  explicit NearestTable(TableLimits limits = {});
  NearestTable(const NearestTable&) = delete;
  NearestTable& operator=(const NearestTable&) = delete;

  // Serves `palette` from now on. A table that served the same palette before keeps what it
  // resolved for it, so that a run of pictures reduced to one palette resolves each colour cell
  // once; any other palette makes it forget everything. The storage is kept either way, so a
  // table used again costs no fresh memory.
  void Start(const PreparedPalette& palette);

  // Palette index nearest to the colour of a pixel 0x??RRGGBB (the top byte is ignored).
  int IndexOf(uint32_t pixel) {
    const uint32_t leaf = bricks_[BrickKey(pixel)];
    if (leaf == 0) return Resolve(pixel);
    return leaves_[leaf + SpotOf(pixel)];
  }

  // Replaces `width` pixels 0xAARRGGBB of each of `rows` rows, `stride` bytes apart from `first`
  // (any alignment), by their nearest palette colours, alpha 0xFF.
  void RemapRows(unsigned char* first, ptrdiff_t stride, int rows, int width);

  // Writes the palette index nearest to each of `width` pixels 0x??RRGGBB of each of `rows` rows,
  // `stride` bytes apart from `first` (any alignment), to `indexes`, rows `indexStride` bytes
  // apart.
  void IndexRows(const unsigned char* first, ptrdiff_t stride, int rows, int width,
                 uint8_t* indexes, ptrdiff_t indexStride);

  const PreparedPalette& Palette() const { return palette_; }
  const TableLimits& Limits() const { return limits_; }

  // The brick of a pixel: red, green and blue divided by 4, packed into 18 bits (red highest).
  static uint32_t BrickKey(uint32_t pixel) {
    return ((pixel >> 6) & 0x3F000) | ((pixel >> 4) & 0xFC0) | ((pixel >> 2) & 0x3F);
  }
  // The colour's place in its brick, red * 16 + green * 4 + blue of the two low bits of each
  // channel: one multiplication gathers the three bit pairs into the top six bits.
  static uint32_t SpotOf(uint32_t pixel) {
    return static_cast<uint32_t>((pixel & 0x030303u) * 0x04104000u) >> 26;
  }

 private:
  struct List {
    const uint8_t* entries;  // positions in the distinct colours of PreparedPalette
    int size;
  };
  struct FreeDeleter {
    void operator()(void* p) const;
  };

  static constexpr size_t kBrickKeys = size_t{1} << 18;
  static constexpr int kMiddleCells = 32 * 32 * 32;

  // Out of line: the pixel loops keep their registers for the common case.
  [[gnu::noinline]] int Resolve(uint32_t pixel);
  // The pixels at `upper` and `lower`, resolving their bricks where needed.
  [[gnu::noinline]] void RemapColumn(unsigned char* upper, unsigned char* lower);
  void ResolveCell(int middle);
  void ForgetBricks();
  static uint32_t FirstBrickKey(int middle);
  List CoarseList(int cell);
  List MiddleList(int cell);

  // The loop over two rows, the one for the processor the library runs on.
  using PairLoop = void (*)(NearestTable& table, unsigned char* upper, unsigned char* lower,
                            int width);
  static PairLoop ChoosePairLoop(bool portable);
  friend void RemapPairPlain(NearestTable& table, unsigned char* upper, unsigned char* lower,
                             int width);
  friend void RemapPairBitExtract(NearestTable& table, unsigned char* upper, unsigned char* lower,
                                  int width);

  const TableLimits limits_;
  const size_t listsLimit_;
  PreparedPalette palette_;  // a copy: the table outlives the call that started it
  bool started_ = false;
  // Where the brick's leaf starts in leaves_, i.e. 64 times its leaf number: leaf 0 means not
  // resolved yet, leaf 1 + i is the constant leaf of palette index i, 257 and up the pictures'
  // own leaves.
  std::unique_ptr<uint32_t[], FreeDeleter> bricks_;
  std::unique_ptr<uint16_t[]> resolved_;  // middle cells resolved, to forget their bricks again
  int resolvedCount_ = 0;
  std::unique_ptr<uint8_t[], FreeDeleter> leaves_;  // 64 palette indexes per leaf; leaf 0 unused
  int leafCount_ = 257;
  // Candidate lists: the coarse cells' lists first (256 bytes each), then the middle cells'.
  std::unique_ptr<uint8_t[]> lists_;
  // The colours of the coarse lists channel by channel: all reds (256 bytes a cell), then all
  // greens, then all blues; and those of all distinct colours the same way, 256 bytes a channel.
  std::unique_ptr<uint8_t[]> coarseColors_;
  uint8_t distinctColors_[3 * 256] = {};
  size_t listsUsed_ = 0;
  std::unique_ptr<int16_t[]> coarseSize_;   // per coarse cell; -1 = not built
  std::unique_ptr<uint32_t[]> middleList_;  // per middle cell: offset << 9 | size; ~0 = not built
  const PairLoop remapPair_;
};

}  // namespace tavlo::colorlib
