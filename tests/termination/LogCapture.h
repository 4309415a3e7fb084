#pragma once
// Collects the records of one log level for a test's duration.
#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "common/Log.h"

namespace NsOvrin::NsTermination::Testing {

class LogCapture : public NsLog::LogSink {
 public:
  explicit LogCapture(int level) : logger_(NsLog::GetLogger(level)), was_(logger_.IsEnabled()) {
    logger_.AddSink(this);
    logger_.SetEnabled(true);
  }
  ~LogCapture() override {
    logger_.RemoveSink(this);
    logger_.SetEnabled(was_);
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  void Write(const NsLog::LogRecord& record) override {
    std::lock_guard lock(mutex_);
    texts_.push_back(record.text);
  }
  std::vector<std::string> Texts() const {
    std::lock_guard lock(mutex_);
    return texts_;
  }
  size_t Count(const std::string& text) const {
    std::lock_guard lock(mutex_);
    return static_cast<size_t>(std::count(texts_.begin(), texts_.end(), text));
  }

 private:
  NsLog::Logger& logger_;
  bool was_;
  mutable std::mutex mutex_;
  std::vector<std::string> texts_;
};

}  // namespace NsOvrin::NsTermination::Testing
