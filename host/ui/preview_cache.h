// Page previews kept in memory, bounded by their total size: a store may hold
// previews far larger than usual (tens of megabytes each), and a dialog that
// kept every one it showed would grow without end.
#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

namespace vexa {

// What the previews of one dialog may hold in all: the page dialog's pictures
// of every page, the selection dialog's of the drawings it showed.
inline constexpr int64_t kPreviewCacheBytes = int64_t{256} << 20;

// Pictures by slot (0 to the slot count - 1), at most maxBytes of pixels in
// all: keeping one pushes out those used longest ago.
class PreviewCache {
 public:
  explicit PreviewCache(int64_t maxBytes = kPreviewCacheBytes) : maxBytes_(maxBytes) {}

  // Drops every picture and gives the cache slotCount slots.
  void Reset(int slotCount);
  // The picture kept for slot, now the one used last; a null image when none.
  QImage Find(int slot);
  // Keeps image for slot (a null image keeps nothing); an image larger than
  // the whole cache is not kept.
  void Keep(int slot, const QImage& image);
  // The pictures kept, and their size in bytes.
  int Count() const { return count_; }
  int64_t Bytes() const { return bytes_; }

 private:
  struct Entry {
    QImage image;
    uint64_t lastUse = 0;
  };

  void Drop(Entry& entry);

  int64_t maxBytes_;
  std::vector<Entry> entries_;
  uint64_t uses_ = 0;
  int count_ = 0;
  int64_t bytes_ = 0;
};

}  // namespace vexa
