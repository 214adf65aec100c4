#pragma once

// A document list of back references (sections by position, link runs,
// windows, waiting images...) that keeps the order entries were added in and
// takes out the entries of one object in time proportional to their number:
// an index from object to place sits beside the entries, a removal leaves a
// hole, and the holes are squeezed out once, at the next read. Freeing many
// objects one after another therefore costs what they have listed, not the
// length of the list each time.
//
// The index is one flat table (open addressing, linear probing) from an
// object to its latest place; the places of one object are chained, latest
// first, through a second array beside the entries. Listing an entry
// therefore allocates nothing of its own, and asking about an object that is
// not listed (what nearly every object freed asks) is mostly answered by a
// seen bit, else by a slot or two.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace lark {

// The object an entry refers to.
template <typename T>
const void* ListedObject(T* const& entry) {
  return entry;
}
template <typename T>
const void* ListedObject(const std::pair<std::string, T*>& entry) {
  return entry.second;
}

template <typename Entry>
class TRefList {
 public:
  void push_back(Entry entry) {
    // Places are 32-bit; a list this long would need far more memory than
    // any document is given.
    if (entries_.size() >= kLastPlace) throw std::length_error("reference list too long");
    // A list that is only added to and taken from, never read whole, would
    // otherwise keep its holes for ever; squeezing once they outnumber the
    // entries costs a constant per removal.
    if (holes_ > live_) Squeeze();
    const auto place = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(std::move(entry));
    next_.push_back(kEnd);
    Index(ListedObject(entries_.back()), place);
    ++live_;
  }

  // Takes out every entry of `object`; nothing when it has none.
  void Remove(const void* object) {
    if (used_ == 0) return;  // the common case: most lists are empty
    const std::size_t at = SlotOf(object);
    if (at == kNoSlot) return;
    for (std::uint32_t place = latest_[at]; place != kEnd;) {
      const std::uint32_t next = next_[place];
      next_[place] = kHole;
      ++holes_;
      --live_;
      place = next;
    }
    EraseSlot(at);
  }

  // Takes out, in one pass, every entry for which `remove` holds.
  template <typename Predicate>
  void RemoveIf(Predicate remove) {
    Squeeze();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i)
      if (!remove(std::as_const(entries_[i]))) {
        if (kept != i) entries_[kept] = std::move(entries_[i]);
        ++kept;
      }
    entries_.resize(kept);
    live_ = kept;
    RebuildIndex();
  }

  void clear() {
    entries_.clear();
    next_.clear();
    if (used_ != 0) ClearSlots();
    holes_ = live_ = 0;
  }

  [[nodiscard]] bool empty() const { return live_ == 0; }
  [[nodiscard]] std::size_t size() const { return live_; }
  [[nodiscard]] const Entry& operator[](std::size_t index) const { return Entries()[index]; }
  [[nodiscard]] auto begin() const { return Entries().begin(); }
  [[nodiscard]] auto end() const { return Entries().end(); }
  // The latest entry of `object`, or null. Holes are squeezed out here only
  // once they outnumber the entries, so a list read only this way stays
  // within twice its length at a constant cost per removal.
  [[nodiscard]] const Entry* Latest(const void* object) const {
    if (holes_ > live_) Squeeze();
    const std::size_t at = used_ == 0 ? kNoSlot : SlotOf(object);
    return at == kNoSlot ? nullptr : &entries_[latest_[at]];
  }
  // Calls `visit` with every entry of `object`, latest first; squeezes as
  // Latest does.
  template <typename Visit>
  void ForEachOf(const void* object, Visit visit) const {
    if (holes_ > live_) Squeeze();
    const std::size_t at = used_ == 0 ? kNoSlot : SlotOf(object);
    if (at == kNoSlot) return;
    for (std::uint32_t place = latest_[at]; place != kEnd; place = next_[place]) visit(entries_[place]);
  }
  // Takes out the latest entry of `object` for which `matches` holds.
  template <typename Predicate>
  void RemoveOneOf(const void* object, Predicate matches) {
    const std::size_t at = used_ == 0 ? kNoSlot : SlotOf(object);
    if (at == kNoSlot) return;
    for (std::uint32_t *link = &latest_[at], place = *link; place != kEnd; link = &next_[place], place = *link)
      if (matches(std::as_const(entries_[place]))) {
        *link = next_[place];
        next_[place] = kHole;
        ++holes_;
        --live_;
        if (latest_[at] == kEnd) EraseSlot(at);
        return;
      }
  }
  // The first entry of `object`, or end().
  [[nodiscard]] auto Find(const void* object) const {
    const std::vector<Entry>& entries = Entries();
    const std::size_t at = used_ == 0 ? kNoSlot : SlotOf(object);
    std::size_t place = entries.size();
    if (at != kNoSlot)
      for (std::uint32_t i = latest_[at]; i != kEnd; i = next_[i]) place = i;  // the chain runs latest first
    return entries.begin() + static_cast<std::ptrdiff_t>(place);
  }

 private:
  static constexpr std::uint32_t kEnd = UINT32_MAX;       // no earlier place
  static constexpr std::uint32_t kHole = UINT32_MAX - 1;  // a removed entry
  static constexpr std::uint32_t kLastPlace = UINT32_MAX - 2;
  static constexpr std::size_t kNoSlot = SIZE_MAX;
  static constexpr std::size_t kFirstSlots = 16;
  static constexpr int kSeenBitsPerSlotLog2 = 2;
  static constexpr std::size_t kSeenBitsPerSlot = std::size_t{1} << kSeenBitsPerSlotLog2;
  static constexpr char kNullObject = 0;  // stands for a null object, as a null key marks a free slot

  static const void* KeyOf(const void* object) { return object ? object : &kNullObject; }

  const std::vector<Entry>& Entries() const {
    Squeeze();
    return entries_;
  }

  // Fibonacci hashing: the high bits of the product mix every bit of the
  // address, including the low ones that allocation alignment leaves equal.
  static std::uint64_t Hash(const void* key) {
    return reinterpret_cast<std::uintptr_t>(key) * 0x9E3779B97F4A7C15ull;
  }
  [[nodiscard]] std::size_t Home(const void* key) const { return static_cast<std::size_t>(Hash(key) >> shift_); }

  // The bit of `key` in seen_: the quarter of its home slot it hashes to.
  [[nodiscard]] std::size_t SeenBit(const void* key) const {
    return static_cast<std::size_t>(Hash(key) >> (shift_ - kSeenBitsPerSlotLog2));
  }
  void MarkSeen(const void* key) const {
    const std::size_t bit = SeenBit(key);
    seen_[bit / 64] |= std::uint64_t{1} << (bit % 64);
  }

  [[nodiscard]] std::size_t SlotOf(const void* object) const {
    const void* const key = KeyOf(object);
    const std::size_t bit = SeenBit(key);
    if (!(seen_[bit / 64] >> (bit % 64) & 1)) return kNoSlot;
    const std::size_t mask = keys_.size() - 1;
    for (std::size_t at = Home(key);; at = (at + 1) & mask) {
      if (keys_[at] == key) return at;
      if (!keys_[at]) return kNoSlot;
    }
  }

  // Chains `place` before the other entries of `object`.
  void Index(const void* object, std::uint32_t place) const {
    if (4 * (used_ + 1) > 3 * keys_.size()) Grow();
    const void* const key = KeyOf(object);
    const std::size_t mask = keys_.size() - 1;
    std::size_t at = Home(key);
    for (; keys_[at]; at = (at + 1) & mask)
      if (keys_[at] == key) {
        next_[place] = latest_[at];
        latest_[at] = place;
        return;
      }
    keys_[at] = key;
    latest_[at] = place;
    MarkSeen(key);
    ++used_;
  }

  // Frees slot `at`, moving later slots of its probe run back so that no
  // search stops short at the gap.
  void EraseSlot(std::size_t at) {
    const std::size_t mask = keys_.size() - 1;
    for (std::size_t i = (at + 1) & mask; keys_[i]; i = (i + 1) & mask)
      if (((i - Home(keys_[i])) & mask) >= ((i - at) & mask)) {
        keys_[at] = keys_[i];
        latest_[at] = latest_[i];
        at = i;
      }
    keys_[at] = nullptr;
    --used_;
  }

  void Grow() const {
    std::vector<const void*> oldKeys = std::exchange(keys_, {});
    const std::vector<std::uint32_t> oldLatest = std::exchange(latest_, {});
    const std::size_t count = std::max(kFirstSlots, 2 * oldKeys.size());
    keys_.assign(count, nullptr);
    latest_.resize(count);
    seen_.assign(count * kSeenBitsPerSlot / 64, 0);
    shift_ = 64 - std::countr_zero(count);
    const std::size_t mask = count - 1;
    for (std::size_t i = 0; i < oldKeys.size(); ++i)
      if (oldKeys[i]) {
        std::size_t at = Home(oldKeys[i]);
        while (keys_[at]) at = (at + 1) & mask;
        keys_[at] = oldKeys[i];
        latest_[at] = oldLatest[i];
        MarkSeen(oldKeys[i]);
      }
  }

  void ClearSlots() const {
    std::fill(keys_.begin(), keys_.end(), nullptr);
    std::fill(seen_.begin(), seen_.end(), 0);
    used_ = 0;
  }

  void Squeeze() const {
    if (holes_ == 0) return;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i)
      if (next_[i] != kHole) {
        if (kept != i) entries_[kept] = std::move(entries_[i]);
        ++kept;
      }
    entries_.resize(kept);
    holes_ = 0;
    RebuildIndex();
  }

  void RebuildIndex() const {
    next_.assign(entries_.size(), kEnd);
    if (used_ != 0) ClearSlots();
    for (std::size_t i = 0; i < entries_.size(); ++i) Index(ListedObject(entries_[i]), static_cast<std::uint32_t>(i));
  }

  // Squeezing on a read changes no entry that is still listed, so reads stay
  // const.
  mutable std::vector<Entry> entries_;
  mutable std::vector<std::uint32_t> next_;  // per entry: the object's place before it, kEnd, or kHole
  // The index: a power of two of slots (or none), at most three quarters
  // full; a probe reads only the keys, and a found slot gives the object's
  // latest place.
  mutable std::vector<const void*> keys_;
  mutable std::vector<std::uint32_t> latest_;
  // Four bits a slot, set for the keys indexed since the table was last
  // filled afresh: most objects never listed are turned away here, in a
  // table a sixteenth the size of the keys that stays in cache.
  mutable std::vector<std::uint64_t> seen_;
  mutable std::size_t used_ = 0;  // slots in use: objects listed
  mutable int shift_ = 64;
  mutable std::size_t holes_ = 0;
  std::size_t live_ = 0;
};

}  // namespace lark
