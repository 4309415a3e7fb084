#pragma once
// The bytes of one polled data block. The polling thread writes every good
// reply (Update); user-interface readers and alarm segments read it under the
// shared data lock and notice new data through the two counters; listeners
// hear about changed bytes. The byte order of values and texts belongs to
// the device family (the concrete classes).
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <shared_mutex>
#include <string>
#include <vector>

#include "term_data/CvbListener.h"
#include "term_data/Observ.h"

namespace NsOvrin::NsTermination {

class CacheVarBlock : public Observ<CvbListener, 1> {
 public:
  // Both counters start at 2 so that a reader's initial 0 differs.
  static constexpr uint32_t kInitialCount = 2;

  explicit CacheVarBlock(uint16_t size);
  virtual ~CacheVarBlock();

  // Copies from offset up to the end of the block, then zero-fills the
  // buffer up to length. Always true.
  virtual bool ReadBytes(uint16_t offset, uint8_t* buffer, uint16_t length) const;
  // A text stored with the two bytes of every word exchanged, from the word
  // holding offset up to the last whole word, at most length bytes, stopping
  // before NUL. Returns the end; a NUL is stored there when it is inside the
  // buffer.
  virtual char* ReadString(uint16_t offset, char* buffer, uint16_t length) const;
  // As ReadString, also stopping before LF and CR, in the family's byte order.
  virtual char* ReadLine(uint16_t offset, char* buffer, uint16_t length) const = 0;
  // Bit index % 8 (from the least significant) of byte index / 8; false past
  // the end.
  virtual bool GetBit(uint32_t index, bool& bit) const;
  // b0 is the byte at the lower offset. No locking.
  virtual uint16_t MakeWord(uint8_t b0, uint8_t b1) const = 0;
  virtual uint32_t MakeDword(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) const = 0;

  // 0 when the value does not lie wholly inside the block.
  uint16_t GetWord(uint16_t offset) const;
  uint32_t GetDword(uint16_t offset) const;

  // Stores a read reply (at most the block's size) from offset 0. The update
  // counter always rises; the change counter and the listeners only when a
  // byte changed. Listeners run after the data lock is released.
  void Update(const uint8_t* data, std::size_t length);

  // Whether a reply has filled the block since it was made or last marked
  // unread.
  bool HasData() const { return hasData_.load(); }
  // Back to the state of a block no reply has filled: all zeros, no data. A
  // value read in an earlier online session is thus never shown as current.
  // When a byte changes, the change counter rises and the listeners hear of
  // it as of a reply (the alarms of its bits go off); the update counter
  // stays, since no reply came.
  void MarkUnread();

  uint16_t GetSize() const { return size_; }
  uint32_t GetUpdateCount() const { return updateCount_.load(); }
  uint32_t GetChangeCount() const { return changeCount_.load(); }

  std::string GetName() const;
  void SetName(const std::string& name);

 protected:
  // Text reading shared by ReadString and ReadLine: swapBytes exchanges the
  // two bytes of every word, stopAtLineEnd also stops before LF and CR.
  char* CopyText(uint16_t offset, char* buffer, uint16_t length, bool swapBytes,
                 bool stopAtLineEnd) const;

 private:
  const uint16_t size_;
  std::vector<uint8_t> data_;
  mutable std::shared_mutex dataLock_;
  std::atomic<uint32_t> updateCount_{kInitialCount};
  std::atomic<uint32_t> changeCount_{kInitialCount};
  std::atomic<bool> hasData_{false};
  std::string name_;  // guarded by dataLock_
};

}  // namespace NsOvrin::NsTermination
