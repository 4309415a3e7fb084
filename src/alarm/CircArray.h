#pragma once
// Fixed-size ring of records, the oldest overwritten first. It has no lock of
// its own: its owner guards it (exclusive to change, shared to read).
#include <cstdint>
#include <vector>

namespace NsOvrin::NsAlarm {

template <typename T>
class CircArray {
 public:
  explicit CircArray(uint32_t capacity = 0, uint32_t head = 0)
      : head_(head < capacity ? head : 0),
        writeIndex_(head_),
        capacity_(capacity),
        items_(capacity) {}
  virtual ~CircArray() = default;
  CircArray(const CircArray&) = delete;
  CircArray& operator=(const CircArray&) = delete;

  uint32_t Count() const {
    if (capacity_ == 0 || items_.empty()) return 0;
    if (full_) return capacity_;
    return writeIndex_ >= head_ ? writeIndex_ - head_ : writeIndex_ + capacity_ - head_;
  }

  // Index 0 is the oldest record; past the count, an empty record.
  const T& At(uint32_t i) const {
    if (i >= Count()) return Empty();
    return items_[(static_cast<uint64_t>(head_) + i) % capacity_];
  }

  // The emptied slot the next record goes to, for the caller to fill; null
  // for a ring without capacity. A full ring gives up its oldest record.
  T* Append() {
    if (capacity_ == 0 || items_.empty()) return nullptr;
    T* slot = &items_[writeIndex_];
    *slot = T{};
    writeIndex_ = writeIndex_ + 1 >= capacity_ ? 0 : writeIndex_ + 1;
    if (full_)
      head_ = writeIndex_;
    else if (writeIndex_ == head_)
      full_ = true;
    return slot;
  }

  // Unless both equal the current ones, empties the ring and takes the new
  // capacity, starting at head (0 when head is not below the capacity).
  // Storage only grows. Returns the previous capacity.
  uint32_t Resize(uint32_t capacity, uint32_t head) {
    const uint32_t previous = capacity_;
    if (capacity == capacity_ && head == head_) return previous;
    full_ = false;
    head_ = writeIndex_ = head < capacity ? head : 0;
    capacity_ = capacity;
    if (items_.size() < capacity) {
      items_.clear();
      items_.shrink_to_fit();
      items_.resize(capacity);
    }
    return previous;
  }

  // Forgets every record; the capacity stays.
  void Clear() {
    full_ = false;
    head_ = writeIndex_ = 0;
    for (T& item : items_) item = T{};
  }

  bool IsFull() const { return full_; }
  uint32_t Head() const { return head_; }
  uint32_t WriteIndex() const { return writeIndex_; }
  uint32_t Capacity() const { return capacity_; }
  uint32_t Allocated() const { return static_cast<uint32_t>(items_.size()); }

 protected:
  // Puts records (oldest first, at most the capacity) into a ring of the
  // given capacity starting at head; used when a saved ring is read back.
  void Restore(uint32_t capacity, uint32_t head, std::vector<T>&& records) {
    std::vector<T> items(capacity);
    for (std::size_t i = 0; i < records.size(); ++i)
      items[(static_cast<uint64_t>(head) + i) % capacity] = std::move(records[i]);
    items_ = std::move(items);
    capacity_ = capacity;
    head_ = head;
    const auto n = static_cast<uint32_t>(records.size());
    full_ = capacity > 0 && n == capacity;
    writeIndex_ = capacity == 0 ? 0 : static_cast<uint32_t>((static_cast<uint64_t>(head) + n) % capacity);
  }

 private:
  static const T& Empty() {
    static const T empty{};
    return empty;
  }

  bool full_ = false;
  uint32_t head_;
  uint32_t writeIndex_;
  uint32_t capacity_;
  std::vector<T> items_;  // the allocated slots, never fewer than the capacity
};

}  // namespace NsOvrin::NsAlarm
