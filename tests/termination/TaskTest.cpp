#include "termination/Task.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "LogCapture.h"
#include "ScriptedCodec.h"
#include "termination/NodeMemModbus.h"

namespace NsOvrin::NsTermination {
namespace {

using Testing::CodecRecord;
using Testing::LogCapture;
using Testing::ScriptedCodec;
namespace ProtoStatus = NsProtocol::ProtoStatus;

TermAddr Parse(const std::string& text) {
  NodeMemModbus mem;
  TermAddr addr;
  EXPECT_EQ(mem.ParseAddress(text, addr), kAddrOk) << text;
  return addr;
}

std::string RequestText(Task& task, ProtocolBase* codec, uint8_t* status = nullptr) {
  const uint8_t* bytes = nullptr;
  uint32_t length = 0;
  const uint8_t result = task.GetRequest(codec, bytes, length);
  if (status != nullptr) *status = result;
  return bytes ? std::string(reinterpret_cast<const char*>(bytes), length) : std::string();
}

class TaskTest : public ::testing::Test {
 protected:
  std::shared_ptr<CodecRecord> record = std::make_shared<CodecRecord>();
  ScriptedCodec codec{record};
};

TEST_F(TaskTest, ReadTaskTakesItsBlockDefinition) {
  NodeMemModbus mem;
  BlockDescriptor def{Parse("4x[10~19]"), 250};
  auto block = mem.CreateCacheFor(def.addr);
  TaskReadData task(block, def, "blk");
  EXPECT_EQ(task.GetAddr().prefix, "4x");
  EXPECT_EQ(task.GetAddr().start, 10u);
  EXPECT_EQ(task.GetAddr().count, 10u);
  EXPECT_EQ(task.GetInterval(), 250u);
  EXPECT_EQ(task.GetElapsed(), 0u);
  EXPECT_FALSE(task.IsEnabled());
  EXPECT_EQ(task.GetSubscriberCount(), 0u);
  EXPECT_EQ(task.GetName(), "blk");
  EXPECT_EQ(block->GetName(), "blk");
  EXPECT_EQ(task.GetCacheBlock(), block);
  EXPECT_FALSE(task.IsBuilt());
}

TEST_F(TaskTest, ReadRequestIsBuiltOnceAndReused) {
  BlockDescriptor def{Parse("4x[10~19]"), 100};
  TaskReadData task(nullptr, def, "");
  uint8_t status = 0;
  const std::string first = RequestText(task, &codec, &status);
  EXPECT_EQ(status, ProtoStatus::Built);
  EXPECT_EQ(first, "R10:10\n");
  const std::string second = RequestText(task, &codec, &status);
  EXPECT_EQ(status, ProtoStatus::Built);
  EXPECT_EQ(second, first);
  EXPECT_EQ(record->readBuilds.load(), 1);
}

TEST_F(TaskTest, FailedBuildIsNotRetried) {
  BlockDescriptor def{Parse("4x99"), 100};
  TaskReadData task(nullptr, def, "");
  for (int i = 0; i < 3; ++i) {
    uint8_t status = 0;
    EXPECT_EQ(RequestText(task, &codec, &status), "");
    EXPECT_EQ(status, ProtoStatus::Error);
  }
  EXPECT_EQ(record->readBuilds.load(), 1);
}

TEST_F(TaskTest, LengthBeyondTheBufferIsABuildError) {
  record->overReportLength = true;
  TaskReadData task(nullptr, BlockDescriptor{Parse("4x1"), 100}, "");
  uint8_t status = 0;
  EXPECT_EQ(RequestText(task, &codec, &status), "");
  EXPECT_EQ(status, ProtoStatus::Error);
}

TEST_F(TaskTest, MissingProtocolIsLoggedAndFails) {
  LogCapture errors(8);
  NodeMemModbus mem;
  BlockDescriptor def{Parse("4x1"), 100};
  TaskReadData read(mem.CreateCacheFor(def.addr), def, "");
  uint8_t status = 0;
  RequestText(read, nullptr, &status);
  EXPECT_EQ(status, ProtoStatus::Error);
  const uint8_t reply[] = {'A', '1', '\n'};
  EXPECT_EQ(read.ParseReply(nullptr, reply, sizeof reply), ProtoStatus::Error);
  EXPECT_EQ(errors.Count("protocol is null. "), 2u);

  // A write task refuses silently.
  TaskWriteData write(def.addr, kTypeUInt16);
  EXPECT_EQ(write.ParseReply(nullptr, reply, sizeof reply), ProtoStatus::Error);
  EXPECT_EQ(errors.Count("protocol is null. "), 2u);
}

TEST_F(TaskTest, ReadReplyGoesIntoTheCacheBlock) {
  NodeMemModbus mem;
  BlockDescriptor def{Parse("4x[0~1]"), 100};
  auto block = mem.CreateCacheFor(def.addr);
  TaskReadData task(block, def, "");
  const std::string part = "A12";
  const std::string rest = "34\n";
  EXPECT_EQ(task.ParseReply(&codec, reinterpret_cast<const uint8_t*>(part.data()),
                            static_cast<uint32_t>(part.size())),
            ProtoStatus::MoreData);
  EXPECT_EQ(task.ParseReply(&codec, reinterpret_cast<const uint8_t*>(rest.data()),
                            static_cast<uint32_t>(rest.size())),
            ProtoStatus::Complete);
  EXPECT_EQ(block->GetUpdateCount(), CacheVarBlock::kInitialCount + 1);
  EXPECT_EQ(block->GetWord(0), ('1' << 8) | '2');
}

TEST_F(TaskTest, ElapsedGrowsUntilDueAndNeverWraps) {
  TaskReadData task(nullptr, BlockDescriptor{Parse("4x1"), 100}, "");
  task.AddElapsed(60);
  EXPECT_EQ(task.GetElapsed(), 60u);
  EXPECT_FALSE(task.IsDue());
  task.AddElapsed(60);
  EXPECT_EQ(task.GetElapsed(), 120u);
  EXPECT_TRUE(task.IsDue());
  task.AddElapsed(60);  // due: does not grow further
  EXPECT_EQ(task.GetElapsed(), 120u);
  task.ResetElapsed();
  EXPECT_EQ(task.GetElapsed(), 0u);

  // The first cycle of a thread passes the whole millisecond counter.
  task.AddElapsed(50);
  task.AddElapsed(std::numeric_limits<uint32_t>::max() - 10);
  EXPECT_TRUE(task.IsDue());
}

TEST_F(TaskTest, SubscriberCountNeverGoesBelowZero) {
  TaskReadData task(nullptr, BlockDescriptor{Parse("4x1"), 100}, "");
  task.SetEnable(true);
  EXPECT_FALSE(task.IsPolled());
  task.AddSubscriber();
  task.AddSubscriber();
  EXPECT_TRUE(task.IsPolled());
  task.ReleaseSubscriber();
  task.ReleaseSubscriber();
  task.ReleaseSubscriber();
  EXPECT_EQ(task.GetSubscriberCount(), 0u);
  task.AddSubscriber();
  task.SetEnable(false);
  EXPECT_FALSE(task.IsPolled());
}

TEST_F(TaskTest, WriteTaskRebuildsOnlyForAnotherValue) {
  TaskWriteData task(Parse("4x7"), kTypeUInt16);
  uint16_t first = 0x1234;
  uint16_t second = 0xBEEF;
  task.SetValue(&first);
  const std::string a = RequestText(task, &codec);
  task.SetValue(&first);
  const std::string b = RequestText(task, &codec);
  EXPECT_EQ(a, b);
  EXPECT_EQ(record->writeBuilds.load(), 1);

  task.SetValue(&second);
  const std::string c = RequestText(task, &codec);
  EXPECT_EQ(record->writeBuilds.load(), 2);
  EXPECT_NE(c, a);
  uint8_t bytes[2];
  std::memcpy(bytes, &second, 2);
  char expected[32];
  std::snprintf(expected, sizeof expected, "W7=%02X%02X\n", bytes[0], bytes[1]);
  EXPECT_EQ(c, expected);
}

TEST_F(TaskTest, WriteTaskWithoutValueBuildsNothing) {
  TaskWriteData task(Parse("4x7"), kTypeUInt16);
  uint8_t status = 0;
  RequestText(task, &codec, &status);
  EXPECT_EQ(status, ProtoStatus::Error);
  EXPECT_EQ(record->writeBuilds.load(), 0);

  uint16_t value = 1;
  task.SetValue(&value);
  RequestText(task, &codec, &status);
  EXPECT_EQ(status, ProtoStatus::Built);
  EXPECT_EQ(record->writeBuilds.load(), 1);
}

TEST_F(TaskTest, WriteReplyIsJudgedByTheWriteParser) {
  TaskWriteData task(Parse("0x3"), kTypeBit);
  const std::string ok = "K\n";
  const std::string bad = "A1\n";
  EXPECT_EQ(task.ParseReply(&codec, reinterpret_cast<const uint8_t*>(ok.data()), 2),
            ProtoStatus::Complete);
  codec.ResetReceive();
  EXPECT_EQ(task.ParseReply(&codec, reinterpret_cast<const uint8_t*>(bad.data()), 3),
            ProtoStatus::Error);
  task.ResetElapsed();  // nothing to restart; must not fail
}

}  // namespace
}  // namespace NsOvrin::NsTermination
