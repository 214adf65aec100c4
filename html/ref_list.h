#pragma once

// A document list of back references (sections by position, link runs,
// windows, waiting images...) that keeps the order entries were added in and
// takes out the entries of one object in time proportional to their number:
// an index from object to place sits beside the entries, a removal leaves a
// hole, and the holes are squeezed out once, at the next read. Freeing many
// objects one after another therefore costs what they have listed, not the
// length of the list each time.
//
// The index is one flat table (open addressing, linear probing, at most half
// full) of an object's first and last place; the places of one object are
// chained through a second array beside the entries. Listing an entry
// therefore allocates nothing of its own, and asking about an object that is
// not listed (what nearly every object freed asks) reads one slot or two.

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
    const auto place = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(std::move(entry));
    next_.push_back(kEnd);
    Index(ListedObject(entries_.back()), place);
    ++live_;
  }

  // Takes out every entry of `object`; nothing when it has none.
  void Remove(const void* object) {
    if (used_ == 0) return;  // every object of a page being freed asks
    const std::size_t at = SlotOf(object);
    if (at == kNoSlot) return;
    for (std::uint32_t place = slots_[at].First; place != kEnd;) {
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
  // The first entry of `object`, or end().
  [[nodiscard]] auto Find(const void* object) const {
    const std::vector<Entry>& entries = Entries();
    const std::size_t at = used_ == 0 ? kNoSlot : SlotOf(object);
    const std::size_t place = at == kNoSlot ? entries.size() : slots_[at].First;
    return entries.begin() + static_cast<std::ptrdiff_t>(place);
  }

 private:
  static constexpr std::uint32_t kEnd = UINT32_MAX;       // no next place; an empty slot
  static constexpr std::uint32_t kHole = UINT32_MAX - 1;  // a removed entry
  static constexpr std::uint32_t kLastPlace = UINT32_MAX - 2;
  static constexpr std::size_t kNoSlot = SIZE_MAX;
  static constexpr std::size_t kFirstSlots = 16;

  struct Slot {
    const void* Object = nullptr;
    std::uint32_t First = kEnd;  // kEnd: the slot is free
    std::uint32_t Last = kEnd;
  };

  const std::vector<Entry>& Entries() const {
    Squeeze();
    return entries_;
  }

  [[nodiscard]] std::size_t Home(const void* object) const {
    // Fibonacci hashing: the high bits of the product mix every bit of the
    // address, including the low ones that allocation alignment leaves equal.
    return static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(object) * 0x9E3779B97F4A7C15ull) >> shift_);
  }

  [[nodiscard]] std::size_t SlotOf(const void* object) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = Home(object);; at = (at + 1) & mask) {
      const Slot& slot = slots_[at];
      if (slot.First == kEnd) return kNoSlot;
      if (slot.Object == object) return at;
    }
  }

  // Chains `place` after the other entries of `object`.
  void Index(const void* object, std::uint32_t place) const {
    if (2 * (used_ + 1) > slots_.size()) Grow();
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = Home(object);
    for (; slots_[at].First != kEnd; at = (at + 1) & mask)
      if (slots_[at].Object == object) {
        next_[slots_[at].Last] = place;
        slots_[at].Last = place;
        return;
      }
    slots_[at] = {object, place, place};
    ++used_;
  }

  // Frees slot `at`, moving later slots of its probe run back so that no
  // search stops short at the gap.
  void EraseSlot(std::size_t at) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = (at + 1) & mask; slots_[i].First != kEnd; i = (i + 1) & mask)
      if (((i - Home(slots_[i].Object)) & mask) >= ((i - at) & mask)) {
        slots_[at] = slots_[i];
        at = i;
      }
    slots_[at] = Slot{};
    --used_;
  }

  void Grow() const {
    std::vector<Slot> old = std::exchange(slots_, {});
    Resize(std::max(kFirstSlots, 2 * old.size()));
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old)
      if (slot.First != kEnd) {
        std::size_t at = Home(slot.Object);
        while (slots_[at].First != kEnd) at = (at + 1) & mask;
        slots_[at] = slot;
      }
  }

  void Resize(std::size_t count) const {
    slots_.assign(count, Slot{});
    shift_ = 64 - std::countr_zero(count);
  }

  void ClearSlots() const {
    slots_.assign(slots_.size(), Slot{});
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
  mutable std::vector<std::uint32_t> next_;  // per entry: the next place of its object, kEnd, or kHole
  mutable std::vector<Slot> slots_;          // a power of two in size, or empty
  mutable std::size_t used_ = 0;             // slots in use: objects listed
  mutable int shift_ = 64;
  mutable std::size_t holes_ = 0;
  std::size_t live_ = 0;
};

}  // namespace lark
