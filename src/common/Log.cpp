#include "common/Log.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <mutex>
#include <new>

namespace NsOvrin::NsLog {
namespace {

Logger& MakeLogger(int32_t level) {
  // Never destroyed: polling threads may still log while other statics are
  // torn down at exit. Level 1 starts enabled, every other level disabled.
  static Logger* const loggers[4] = {new Logger(1), new Logger(2), new Logger(4), new Logger(8)};
  static const bool once = [] {
    loggers[0]->SetEnabled(true);
    return true;
  }();
  (void)once;
  switch (level) {
    case 1: return *loggers[0];
    case 4: return *loggers[2];
    case 8: return *loggers[3];
    default: return *loggers[1];
  }
}

}  // namespace

void LogRecord::Stamp(int32_t lvl, const char* sourcePath, int32_t ln) {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  std::tm tm{};
  localtime_r(&ts.tv_sec, &tm);
  time.year = static_cast<uint16_t>(tm.tm_year + 1900);
  time.month = static_cast<uint16_t>(tm.tm_mon + 1);
  time.dayOfWeek = static_cast<uint16_t>(tm.tm_wday);
  time.day = static_cast<uint16_t>(tm.tm_mday);
  time.hour = static_cast<uint16_t>(tm.tm_hour);
  time.minute = static_cast<uint16_t>(tm.tm_min);
  time.second = static_cast<uint16_t>(tm.tm_sec);
  time.milliseconds = static_cast<uint16_t>(ts.tv_nsec / 1000000);

  fileName.clear();
  if (sourcePath) {
    const char* name = sourcePath;
    for (const char* p = sourcePath; *p; ++p)
      if (*p == '/' || *p == '\\') name = p + 1;
    fileName = name;
  }
  line = ln;
  threadId = static_cast<uint32_t>(::syscall(SYS_gettid));
  level = lvl;
}

void Logger::AddSink(LogSink* sink) {
  if (!sink) return;
  std::unique_lock lock(lock_);
  sinks_.push_back(sink);
}

void Logger::RemoveSink(LogSink* sink) {
  std::unique_lock lock(lock_);
  sinks_.erase(std::remove(sinks_.begin(), sinks_.end(), sink), sinks_.end());
}

void Logger::Dispatch(const LogRecord& record) {
  std::shared_lock lock(lock_);
  for (LogSink* sink : sinks_) sink->Write(record);
}

Logger& GetLogger(int32_t level) { return MakeLogger(level); }

Logger& GetDefaultLogger() { return MakeLogger(2); }

std::string GetLogLevelTag(int32_t level) {
  switch (level) {
    case 1: return "$d";
    case 2: return "$i";
    case 4: return "$w";
    case 8: return "$e";
    default: return {};
  }
}

LogMessage::LogMessage(int32_t level, const char* sourcePath, int32_t line) {
  Logger& logger = GetLogger(level);
  record_.Stamp(level, sourcePath, line);
  record_.enabled = logger.IsEnabled();
  record_.tag = GetLogLevelTag(level);
  target_ = &logger;
}

LogMessage::~LogMessage() {
  if (record_.enabled && !record_.text.empty() && target_) target_->Dispatch(record_);
}

LogMessage& LogMessage::AppendText(const char* text) {
  if (record_.enabled && text) record_.text += text;
  return *this;
}

LogMessage& LogMessage::AppendText(std::string_view text) {
  if (record_.enabled) record_.text.append(text);
  return *this;
}

LogMessage& StartLogMessage(void* storage, int32_t level, const char* sourcePath, int32_t line) {
  return *new (storage) LogMessage(level, sourcePath, line);
}

}  // namespace NsOvrin::NsLog
