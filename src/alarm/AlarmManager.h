#pragma once
// The process-wide list of alarm groups, the alarms that are on and the
// history of those that went off. The polling threads report bit changes
// through the segments' callbacks; the alarm elements read the active list
// and the history ring under the shared side of their locks when the change
// counters move.
#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <shared_mutex>
#include <string>
#include <vector>

#include "alarm/AlarmHistory.h"
#include "alarm/AlarmSeg.h"
#include "alarm/HistData.h"

namespace NsOvrin::NsTermination {
class ChannelManager;
}

namespace NsOvrin::NsAlarm {

// An alarm that is on. Its segment is always one of the manager's: the
// entries of a segment leave the list (under the active lock) whenever the
// segment leaves the manager, so a reader holding the lock never meets a
// freed segment.
struct ActiveAlarm {
  int64_t time = 0;  // seconds since 1970-01-01 UTC when it came on
  AlarmSeg* segment = nullptr;
  uint16_t bit = 0;
};

class AlarmStateListener {
 public:
  virtual ~AlarmStateListener() = default;
  virtual void OnAlarmOn(AlarmSeg* segment, uint16_t bit) = 0;
  virtual void OnAlarmOff(AlarmSeg* segment, uint16_t bit) = 0;
};

using HistoryListener = std::function<void(const HistData& record)>;

class AlarmManager {
 public:
  // Both counters start here so that a reader's initial 0 differs.
  static constexpr uint32_t kInitialCount = 2;

  // The manager of the program. Its history goes to "alarm_history" when
  // it is destroyed at exit, after it has stopped every polling thread.
  static AlarmManager& Instance();

  // channels (may be null): the database whose polling threads feed the
  // segments; Shutdown stops it before the history is written. It must
  // outlive the manager.
  AlarmManager(std::string historyPath, bool persist, NsTermination::ChannelManager* channels);
  AlarmManager(const AlarmManager&) = delete;
  AlarmManager& operator=(const AlarmManager&) = delete;
  // Shutdown.
  ~AlarmManager();

  // Stops the channel database (every polling thread ends), releases the
  // segments, then writes the history once when persisting. Later calls
  // do nothing.
  void Shutdown();

  // Binds the segment's callbacks to this manager and appends it; nothing
  // for a null pointer.
  void AddSeg(std::shared_ptr<AlarmSeg> segment);
  // Removes every occurrence of the segment together with its active alarms,
  // and unbinds its callbacks; false when it was not there.
  bool RemoveSeg(const AlarmSeg* segment);
  std::vector<std::shared_ptr<AlarmSeg>> GetSegments() const;

  // Empties the ring and gives it n slots.
  void SetMaxHistCount(uint16_t n);
  // Forgets every history record; the capacity stays.
  void ClearHistory();

  // Called by the segments with their lock held exclusively. Reports of a
  // segment that is not (or no longer) the manager's are ignored.
  void OnAlarmOn(AlarmSeg* segment, uint16_t bit);
  void OnAlarmOff(AlarmSeg* segment, uint16_t bit);
  // Records the bit's alarm in the ring; the caller holds the segment's lock.
  void AddHistory(AlarmSeg* segment, uint16_t bit);

  // Project closed: active alarms, segments and listeners go; the history
  // and the counters stay.
  void Clear();

  void AddAlarmListener(std::shared_ptr<AlarmStateListener> listener);
  void AddHistoryListener(HistoryListener listener);

  // Readers hold the lock's shared side while they look.
  std::shared_mutex& GetActiveLock() const { return _activeLock; }
  const std::list<ActiveAlarm>& GetActiveAlarms() const { return _active; }
  std::shared_mutex& GetHistoryLock() const { return _historyLock; }
  const AlarmHistoryRing& GetHistory() const { return _history; }

  uint32_t GetAlarmChangeCount() const { return _alarmChangeCount.load(); }
  uint32_t GetHistoryChangeCount() const { return _historyChangeCount.load(); }
  bool IsRecordingHistory() const { return _recordHistory; }

 private:
  // The caller holds the active lock.
  bool IsMember(const AlarmSeg* segment) const;
  // Unbinds the callbacks of segments that left, then lets them go; no lock
  // of the manager may be held (a segment's destructor waits for a
  // notification that may be waiting for one).
  static void Release(std::vector<std::shared_ptr<AlarmSeg>>& segments);

  NsTermination::ChannelManager* const _channels;
  std::vector<std::shared_ptr<AlarmSeg>> _segments;  // guarded by _activeLock
  std::list<ActiveAlarm> _active;                     // guarded by _activeLock
  AlarmHistoryRing _history;                          // guarded by _historyLock
  std::vector<std::shared_ptr<AlarmStateListener>> _alarmListeners;  // guarded by _listenerLock
  std::vector<HistoryListener> _historyListeners;                   // guarded by _listenerLock
  mutable std::shared_mutex _activeLock;
  mutable std::shared_mutex _historyLock;
  mutable std::shared_mutex _listenerLock;
  std::atomic<uint32_t> _alarmChangeCount{kInitialCount};
  std::atomic<uint32_t> _historyChangeCount{kInitialCount};
  const bool _recordHistory = true;
  bool _shutDown = false;
};

}  // namespace NsOvrin::NsAlarm
