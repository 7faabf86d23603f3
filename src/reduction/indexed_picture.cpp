#include "reduction/indexed_picture.h"

#include <algorithm>

#include "colorlib/preview_engine.h"

namespace tavlo {

bool IsWhole(const IndexedPicture& picture) {
  if (picture.width <= 0 || picture.height <= 0 || picture.table.empty() ||
      picture.table.size() > 256 ||
      picture.indexes.size() != size_t(picture.width) * size_t(picture.height) ||
      picture.transparent >= static_cast<int>(picture.table.size()))
    return false;
  return *std::max_element(picture.indexes.begin(), picture.indexes.end()) < picture.table.size();
}

IndexedPicture ReducePicture(const std::uint32_t* first, int width, int height,
                             std::ptrdiff_t stride, const ColorValue* entries, int count,
                             int threads) {
  IndexedPicture picture;
  if (!first || !entries || width <= 0 || height <= 0 || count < 1 || count > 256 ||
      stride != static_cast<std::int32_t>(stride))
    return picture;
  picture.indexes.resize(size_t(width) * size_t(height));
  colorlib::PreviewOptions options;
  options.threads = threads;
  if (colorlib::IndexImage(first, width, height, static_cast<std::int32_t>(stride), entries, count,
                           picture.indexes.data(), width, options) == 0) {
    picture.indexes.clear();
    return picture;
  }
  picture.width = width;
  picture.height = height;
  picture.table.assign(entries, entries + count);
  return picture;
}

}  // namespace tavlo
