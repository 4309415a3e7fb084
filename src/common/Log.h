#pragma once
// Diagnostic log records dispatched to sinks registered per level.
// A message of a disabled level neither formats nor dispatches anything.
#include <atomic>
#include <charconv>
#include <cstdint>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace NsOvrin::NsLog {

struct SystemTime {
  uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
  uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

struct LogRecord {
  bool enabled = false;
  std::string tag;
  int32_t level = 2;
  int32_t line = 0;
  uint32_t threadId = 0;
  std::string fileName;
  SystemTime time;
  std::string text;

  void Stamp(int32_t level, const char* sourcePath, int32_t line);
};

class LogSink {
 public:
  virtual ~LogSink() = default;
  virtual void Write(const LogRecord& record) = 0;
};

class Logger {
 public:
  explicit Logger(int32_t level) : level_(level) {}

  bool IsEnabled() const { return enabled_.load(std::memory_order_relaxed); }
  int32_t Level() const { return level_; }
  // The program enables only level 1; sinks and tests may switch others on.
  void SetEnabled(bool on) { enabled_.store(on, std::memory_order_relaxed); }

  void AddSink(LogSink* sink);
  void RemoveSink(LogSink* sink);
  void Dispatch(const LogRecord& record);

 private:
  friend Logger& GetLogger(int32_t level);
  std::atomic<bool> enabled_{false};
  int32_t level_;
  std::shared_mutex lock_;
  std::vector<LogSink*> sinks_;
};

Logger& GetLogger(int32_t level);
Logger& GetDefaultLogger();
std::string GetLogLevelTag(int32_t level);

class LogMessage {
 public:
  LogMessage() = default;
  LogMessage(int32_t level, const char* sourcePath, int32_t line);
  LogMessage(const LogMessage&) = delete;
  LogMessage& operator=(const LogMessage&) = delete;
  virtual ~LogMessage();

  LogMessage& AppendText(const char* text);
  LogMessage& AppendText(std::string_view text);
  LogMessage& AppendText(const std::string& text) { return AppendText(std::string_view(text)); }
  LogMessage& AppendOpenParen() { return AppendText(std::string_view(" (")); }
  LogMessage& AppendCloseParen() { return AppendText(std::string_view(")")); }

  template <typename T>
    requires std::is_integral_v<T>
  LogMessage& AppendNumber(T value) {
    if (!record_.enabled) return *this;
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof(buf), value);
    record_.text.append(buf, res.ptr);
    return *this;
  }

  const LogRecord& Record() const { return record_; }

 private:
  LogRecord record_;
  Logger* target_ = nullptr;
};

// Builds a message in caller-provided storage; the caller destroys it.
LogMessage& StartLogMessage(void* storage, int32_t level, const char* sourcePath, int32_t line);

}  // namespace NsOvrin::NsLog

// One statement per record: OV_LOG(8).AppendText("...").AppendNumber(n);
#define OV_LOG(level) ::NsOvrin::NsLog::LogMessage((level), __FILE__, __LINE__)
