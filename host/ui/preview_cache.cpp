#include "host/ui/preview_cache.h"

#include <algorithm>

namespace vexa {

void PreviewCache::Reset(int slotCount) {
  entries_.assign(static_cast<size_t>(std::max(0, slotCount)), Entry());
  count_ = 0;
  bytes_ = 0;
}

QImage PreviewCache::Find(int slot) {
  if (slot < 0 || slot >= static_cast<int>(entries_.size())) return QImage();
  Entry& entry = entries_[static_cast<size_t>(slot)];
  if (!entry.image.isNull()) entry.lastUse = ++uses_;
  return entry.image;
}

void PreviewCache::Keep(int slot, const QImage& image) {
  if (slot < 0 || slot >= static_cast<int>(entries_.size())) return;
  Entry& entry = entries_[static_cast<size_t>(slot)];
  Drop(entry);
  const int64_t size = image.sizeInBytes();
  if (image.isNull() || size > maxBytes_) return;
  // The slots used longest ago go first; a scan is cheap beside the file
  // read that a new picture costs.
  while (bytes_ + size > maxBytes_) {
    Entry* oldest = nullptr;
    for (Entry& other : entries_) {
      if (!other.image.isNull() && (!oldest || other.lastUse < oldest->lastUse)) oldest = &other;
    }
    Drop(*oldest);
  }
  entry.image = image;
  entry.lastUse = ++uses_;
  bytes_ += size;
  ++count_;
}

void PreviewCache::Drop(Entry& entry) {
  if (entry.image.isNull()) return;
  bytes_ -= entry.image.sizeInBytes();
  --count_;
  entry.image = QImage();
}

}  // namespace vexa
