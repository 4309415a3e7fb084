#pragma once
// An alarm group: an alarm segment bound to a device address. It subscribes
// the data block holding its bits and listens to that block's cache block;
// a poll that changes the block sets the segment's bits on the polling
// thread.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "alarm/AlarmSeg.h"
#include "term_data/CacheVarBlock.h"
#include "term_data/CvbListener.h"
#include "term_data/TermAddr.h"
#include "termination/Task.h"

namespace NsOvrin::NsAlarm {

class AlarmSegCvb : public AlarmSeg {
 public:
  // Bits are numbered in 16 bits.
  static constexpr std::size_t kMaxBits = 0xFFFF;

  class AlarmListener : public NsTermination::CvbListener {
   public:
    explicit AlarmListener(AlarmSegCvb& segment) : _segment(segment) {}
    // Copies the segment's bits out of the block and sets them.
    void OnBlockChanged(NsTermination::CacheVarBlock& block) override;

   private:
    AlarmSegCvb& _segment;
    std::vector<uint8_t> _buffer;  // kept between notifications
  };

  AlarmSegCvb();
  // Unregisters the listener (waiting for a notification in progress) before
  // anything of the segment goes, then drops the subscription.
  ~AlarmSegCvb() override;

  // The base work, then a new binding for the new number of bits. Neither
  // may be called with the segment's lock held.
  void SetMessages(const std::vector<std::string>& messages) override;
  void Resize(std::size_t n) override;

  // Ends the previous binding, then subscribes the data block holding the
  // run of bits from the address (words for a word address) and listens to
  // it. The address is rewritten in canonical form. False when the address
  // is not in a data block (the segment then stays unbound).
  bool BindAddress();
  // Sets the address, then binds.
  bool BindAddress(const std::string& address);
  // The most bits the group can have: as many as the data block holding its
  // address has from there to its end, at most kMaxBits; kMaxBits when the
  // address is in no data block.
  std::size_t GetMaxBits() const;

  // The address as configured (canonical once bound).
  const std::string& GetAddress() const { return _address; }
  void SetAddress(const std::string& address) { _address = address; }
  // The address of the whole run, without the node name; empty when unbound.
  const std::string& GetRangeText() const { return _rangeText; }
  const NsTermination::TermAddr& GetAddr() const { return _addr; }
  const std::shared_ptr<NsTermination::TaskReadData>& GetTask() const { return _task; }
  bool IsBound() const { return _task != nullptr; }
  // The address's place in the block: bits for a bit address, bytes for a
  // word address.
  uint16_t GetOffset() const { return _offset; }

 private:
  // Stops listening and drops the subscription.
  void Unbind();

  std::unique_ptr<AlarmListener> _listener;
  std::string _address;
  NsTermination::TermAddr _addr;
  std::shared_ptr<NsTermination::TaskReadData> _task;
  std::string _rangeText;
  uint16_t _offset = 0;
};

}  // namespace NsOvrin::NsAlarm
