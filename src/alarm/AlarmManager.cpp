#include "alarm/AlarmManager.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "termination/ChannelManager.h"

namespace NsOvrin::NsAlarm {

AlarmManager& AlarmManager::Instance() {
  // The channel database is made first so that it is destroyed after this
  // manager (statics go in reverse order of construction): the manager's
  // destruction can then stop every polling thread through it before the
  // history is written.
  NsTermination::ChannelManager& channels = NsTermination::ChannelManager::Instance();
  static AlarmManager manager(AlarmHistoryFilePath(), true, &channels);
  return manager;
}

AlarmManager::AlarmManager(std::string historyPath, bool persist,
                           NsTermination::ChannelManager* channels)
    : _channels(channels),
      _history(kAlarmHistoryCapacity, 0, persist, kAlarmHistoryVersion, std::move(historyPath)) {}

AlarmManager::~AlarmManager() { Shutdown(); }

void AlarmManager::Shutdown() {
  if (_shutDown) return;
  _shutDown = true;
  if (_channels) _channels->Reset();
  Clear();
  std::unique_lock lock(_historyLock);
  if (_history.Persist()) {
    _history.Save();
    _history.SetPersist(false);
  }
}

bool AlarmManager::IsMember(const AlarmSeg* segment) const {
  return std::any_of(_segments.begin(), _segments.end(),
                     [segment](const std::shared_ptr<AlarmSeg>& s) { return s.get() == segment; });
}

void AlarmManager::Release(std::vector<std::shared_ptr<AlarmSeg>>& segments) {
  for (const std::shared_ptr<AlarmSeg>& segment : segments)
    if (segment) segment->SetAlarmCallbacks(nullptr, nullptr);
  segments.clear();
}

void AlarmManager::AddSeg(std::shared_ptr<AlarmSeg> segment) {
  if (!segment) return;
  segment->SetAlarmCallbacks([this](AlarmSeg* s, uint16_t bit) { OnAlarmOn(s, bit); },
                             [this](AlarmSeg* s, uint16_t bit) { OnAlarmOff(s, bit); });
  std::unique_lock lock(_activeLock);
  _segments.push_back(std::move(segment));
}

bool AlarmManager::RemoveSeg(const AlarmSeg* segment) {
  std::vector<std::shared_ptr<AlarmSeg>> removed;
  bool activeRemoved = false;
  {
    std::unique_lock lock(_activeLock);
    for (auto it = _segments.begin(); it != _segments.end();) {
      if (it->get() == segment) {
        removed.push_back(std::move(*it));
        it = _segments.erase(it);
      } else {
        ++it;
      }
    }
    if (removed.empty()) return false;
    const std::size_t before = _active.size();
    _active.remove_if([segment](const ActiveAlarm& a) { return a.segment == segment; });
    activeRemoved = _active.size() != before;
  }
  // The current-alarm tables notice that alarms went.
  if (activeRemoved) _alarmChangeCount.fetch_add(1);
  Release(removed);
  return true;
}

std::vector<std::shared_ptr<AlarmSeg>> AlarmManager::GetSegments() const {
  std::shared_lock lock(_activeLock);
  return _segments;
}

void AlarmManager::SetMaxHistCount(uint16_t n) {
  {
    std::unique_lock lock(_historyLock);
    _history.Resize(n, 0);
  }
  _historyChangeCount.fetch_add(1);
}

void AlarmManager::ClearHistory() {
  {
    std::unique_lock lock(_historyLock);
    _history.Clear();
  }
  _historyChangeCount.fetch_add(1);
}

void AlarmManager::OnAlarmOn(AlarmSeg* segment, uint16_t bit) {
  {
    std::unique_lock lock(_activeLock);
    if (!IsMember(segment)) return;
    _active.push_back(ActiveAlarm{CurrentAlarmTime(), segment, bit});
  }
  {
    std::shared_lock lock(_listenerLock);
    for (const std::shared_ptr<AlarmStateListener>& listener : _alarmListeners)
      if (listener) listener->OnAlarmOn(segment, bit);
  }
  _alarmChangeCount.fetch_add(1);
}

void AlarmManager::OnAlarmOff(AlarmSeg* segment, uint16_t bit) {
  {
    std::unique_lock lock(_activeLock);
    if (!IsMember(segment)) return;
    _active.remove_if(
        [segment, bit](const ActiveAlarm& a) { return a.segment == segment && a.bit == bit; });
  }
  {
    std::shared_lock lock(_listenerLock);
    for (const std::shared_ptr<AlarmStateListener>& listener : _alarmListeners)
      if (listener) listener->OnAlarmOff(segment, bit);
  }
  if (_recordHistory) AddHistory(segment, bit);
  _alarmChangeCount.fetch_add(1);
  _historyChangeCount.fetch_add(1);
}

void AlarmManager::AddHistory(AlarmSeg* segment, uint16_t bit) {
  HistData record;
  if (segment && bit < segment->GetBits().size()) {
    const AlarmBit& b = segment->GetBits()[bit];
    record.onTime = b.onTime;
    record.offTime = b.offTime;
    record.message = b.message;
  } else {
    record.onTime = record.offTime = CurrentAlarmTime();
    record.message = "?";
  }
  if (segment) record.sourceText = segment->GetText();
  {
    std::unique_lock lock(_historyLock);
    if (HistData* slot = _history.Append()) *slot = record;
  }
  std::shared_lock lock(_listenerLock);
  for (const HistoryListener& listener : _historyListeners)
    if (listener) listener(record);
}

void AlarmManager::Clear() {
  std::vector<std::shared_ptr<AlarmSeg>> released;
  {
    std::unique_lock lock(_activeLock);
    _active.clear();
    released.swap(_segments);
  }
  std::vector<std::shared_ptr<AlarmStateListener>> listeners;
  std::vector<HistoryListener> historyListeners;
  {
    std::unique_lock lock(_listenerLock);
    listeners.swap(_alarmListeners);
    historyListeners.swap(_historyListeners);
  }
  Release(released);
}

void AlarmManager::AddAlarmListener(std::shared_ptr<AlarmStateListener> listener) {
  if (!listener) return;
  std::unique_lock lock(_listenerLock);
  _alarmListeners.push_back(std::move(listener));
}

void AlarmManager::AddHistoryListener(HistoryListener listener) {
  if (!listener) return;
  std::unique_lock lock(_listenerLock);
  _historyListeners.push_back(std::move(listener));
}

}  // namespace NsOvrin::NsAlarm
