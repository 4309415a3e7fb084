#include "common/Log.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

using namespace NsOvrin::NsLog;

namespace {

struct CollectingSink : LogSink {
  std::mutex m;
  std::vector<LogRecord> records;
  void Write(const LogRecord& r) override {
    std::lock_guard g(m);
    records.push_back(r);
  }
};

// Registers a sink on a level and switches it on for the test's duration.
struct ScopedSink {
  Logger& logger;
  CollectingSink sink;
  bool was;
  explicit ScopedSink(int level) : logger(GetLogger(level)), was(logger.IsEnabled()) {
    logger.AddSink(&sink);
    logger.SetEnabled(true);
  }
  ~ScopedSink() {
    logger.RemoveSink(&sink);
    logger.SetEnabled(was);
  }
};

}  // namespace

TEST(Log, LevelsTagsAndDefaults) {
  EXPECT_TRUE(GetLogger(1).IsEnabled());
  EXPECT_FALSE(GetLogger(8).IsEnabled());
  EXPECT_FALSE(GetLogger(4).IsEnabled());
  for (int other : {0, 2, 3, 16}) EXPECT_EQ(&GetLogger(other), &GetDefaultLogger()) << other;
  EXPECT_NE(&GetLogger(8), &GetDefaultLogger());
  EXPECT_EQ(GetLogLevelTag(1), "$d");
  EXPECT_EQ(GetLogLevelTag(2), "$i");
  EXPECT_EQ(GetLogLevelTag(4), "$w");
  EXPECT_EQ(GetLogLevelTag(8), "$e");
  EXPECT_EQ(GetLogLevelTag(3), "");
}

TEST(Log, DisabledLevelReachesNoSink) {
  CollectingSink sink;
  GetLogger(8).AddSink(&sink);
  OV_LOG(8).AppendText("lost");
  GetLogger(8).RemoveSink(&sink);
  EXPECT_TRUE(sink.records.empty());
}

TEST(Log, ChainedMessageIsDispatchedWithItsRecord) {
  ScopedSink s(8);
  unsigned idx = 7, count = 5;
  int line = __LINE__ + 1;
  OV_LOG(8).AppendText("col <= _count").AppendOpenParen().AppendNumber(idx).AppendText(" VS ")
      .AppendNumber(count).AppendCloseParen().AppendNumber(-3).AppendNumber(int64_t{-4000000000});
  ASSERT_EQ(s.sink.records.size(), 1u);
  const LogRecord& r = s.sink.records[0];
  EXPECT_EQ(r.text, "col <= _count (7 VS 5)-3-4000000000");
  EXPECT_EQ(r.tag, "$e");
  EXPECT_EQ(r.level, 8);
  EXPECT_EQ(r.line, line);
  EXPECT_EQ(r.fileName, "LogTest.cpp");
  EXPECT_NE(r.threadId, 0u);
  EXPECT_GE(r.time.year, 2020);
}

TEST(Log, EmptyMessageIsNotDispatched) {
  ScopedSink s(4);
  OV_LOG(4).AppendText(static_cast<const char*>(nullptr));
  EXPECT_TRUE(s.sink.records.empty());
}

TEST(Log, FileNameIsLastComponent) {
  const struct { const char* path; const char* name; } cases[] = {
      {"a/b/c/file.cpp", "file.cpp"}, {"file.h", "file.h"}, {"C:\\src\\x.cpp", "x.cpp"}, {"", ""}};
  for (const auto& c : cases) {
    LogRecord r;
    r.Stamp(4, c.path, 3);
    EXPECT_EQ(r.fileName, c.name);
  }
}

TEST(Log, StartLogMessageInPlace) {
  ScopedSink s(4);
  alignas(LogMessage) unsigned char storage[sizeof(LogMessage)];
  LogMessage& m = StartLogMessage(storage, 4, "x/y.cpp", 12);
  m.AppendText("in place");
  m.~LogMessage();
  ASSERT_EQ(s.sink.records.size(), 1u);
  EXPECT_EQ(s.sink.records[0].fileName, "y.cpp");
}

TEST(Log, ManyThreadsLogToOneSink) {
  ScopedSink s(4);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < 200; ++i) OV_LOG(4).AppendText("t").AppendNumber(t);
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(s.sink.records.size(), 1600u);
}
