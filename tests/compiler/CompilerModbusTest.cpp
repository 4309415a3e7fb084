// Operands and compiled instructions against a libmodbus slave on loopback:
// what they write lands in the slave, what they read comes from its polled
// blocks.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "compiler/QlCmTermAddr.h"
#include "compiler/QlFuncList.h"
#include "project/QlEProject.h"
#include "support/ModbusTcpSlave.h"
#include "term_data/CacheVarBlock.h"
#include "termination/NodeDbFixture.h"

namespace NsOvrin::NsQlCompiler {
namespace {

using NsTermination::CacheVarBlock;
using NsTermination::ChannelEthernet;
using NsTermination::kTypeUInt16;
using NsTermination::kTypeUInt32;
using NsTestSupport::ModbusTcpSlave;

class CompilerModbusTest : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    ASSERT_TRUE(slave_.Start());
    channel_ = AddEthernet("ETH1");
    node_ = AddTcpNode(channel_, "PLC1", slave_.Port());
    ASSERT_NE(node_, nullptr);
    AddBlock(*node_, "0x[0~15]", "coils", 20);
    AddBlock(*node_, "4x[0~9]", "registers", 20);
    // Never polled: its block never holds a reply.
    AddBlock(*node_, "4x[20~29]", "idle", 20, false);
    coils_ = TaskNamed(*node_, "coils");
    registers_ = TaskNamed(*node_, "registers");
    ASSERT_TRUE(coils_ && registers_);
    Db().SetRunning(true);
    ASSERT_TRUE(channel_->Open());
    // Writes go through the node's connection, made by its polling thread.
    ASSERT_TRUE(WaitFor([&] { return slave_.AcceptCount() > 0; }));
  }
  void TearDown() override {
    Db().Reset();  // polling ends before the slave goes
    NodeDbFixture::TearDown();
  }

  static std::shared_ptr<QlCmTermAddr> Parse(const std::string& token) {
    std::shared_ptr<QlCmData> operand;
    if (!ParseAddrOperand(token, operand)) return nullptr;
    return std::dynamic_pointer_cast<QlCmTermAddr>(operand);
  }

  // Waits for a reply newer than the call that satisfies the check.
  bool WaitForBlock(const std::shared_ptr<NsTermination::TaskReadData>& task,
                    const std::function<bool(const CacheVarBlock&)>& check) {
    const CacheVarBlock& block = *task->GetCacheBlock();
    const uint32_t from = block.GetUpdateCount();
    return WaitFor([&] { return block.GetUpdateCount() > from && check(block); });
  }

  ModbusTcpSlave slave_;
  std::shared_ptr<ChannelEthernet> channel_;
  std::shared_ptr<NsTermination::Node> node_;
  std::shared_ptr<NsTermination::TaskReadData> coils_, registers_;
};

TEST_F(CompilerModbusTest, AnAddressOperandWritesOneWordOrOneDoubleWord) {
  const auto word = Parse("PLC1.4x5");
  ASSERT_NE(word, nullptr);
  ASSERT_TRUE(word->WriteWord(0xBEEF));
  EXPECT_EQ(slave_.GetHoldingRegister(5), 0xBEEF);
  EXPECT_EQ(slave_.GetHoldingRegister(4), 0);
  EXPECT_EQ(slave_.GetHoldingRegister(6), 0);

  // The double word read back through the polled block is the one written.
  const auto dword = Parse("PLC1.4x6");
  ASSERT_TRUE(dword->WriteDword(0x12345678u));
  EXPECT_NE(slave_.GetHoldingRegister(6), 0);
  EXPECT_NE(slave_.GetHoldingRegister(7), 0);
  EXPECT_EQ(slave_.GetHoldingRegister(8), 0);
  dword->Bind(kTypeUInt32, kAccessRead);
  ASSERT_TRUE(WaitForBlock(registers_, [](const CacheVarBlock&) { return true; }));
  ASSERT_TRUE(dword->Fetch());
  EXPECT_EQ(static_cast<uint32_t>(dword->value), 0x12345678u);
}

TEST_F(CompilerModbusTest, ARangeTargetTakesOneUnitAtItsStart) {
  const auto range = Parse("PLC1.4x[3~5]");
  ASSERT_NE(range, nullptr);
  EXPECT_EQ(range->ToString(), "PLC1.4x[00003~00005]");
  ASSERT_TRUE(range->CheckUsage(kTypeUInt16, kAccessWrite, nullptr));
  ASSERT_TRUE(range->WriteWord(7));
  EXPECT_EQ(slave_.GetHoldingRegister(3), 7);
  EXPECT_EQ(slave_.GetHoldingRegister(4), 0);
  EXPECT_EQ(slave_.GetHoldingRegister(5), 0);

  // SET and RST of a bit range: one bit at its start.
  for (int i = 4; i <= 12; ++i) slave_.SetCoil(static_cast<uint16_t>(i), i % 2 == 0);
  QlFuncList list;
  list.sourceLines = {"SET PLC1.0x[3~12]", "RST PLC1.0x[4~12]"};
  list.Compile();
  ASSERT_EQ(list.functions.size(), 2u);
  EXPECT_EQ(list.functions[0]->GetSourceLine(), "SET PLC1.0x[00003~00012]");
  for (const auto& function : list.functions) EXPECT_TRUE(function->Execute());
  EXPECT_TRUE(slave_.GetCoil(3));
  EXPECT_FALSE(slave_.GetCoil(4));
  for (int i = 5; i <= 12; ++i) EXPECT_EQ(slave_.GetCoil(static_cast<uint16_t>(i)), i % 2 == 0) << i;
}

TEST_F(CompilerModbusTest, ACompiledListWritesTheSlave) {
  slave_.SetCoil(4, true);
  slave_.SetHoldingRegister(2, 1234);
  QlFuncList list;
  list.sourceLines = {"SET PLC1.0x3", "RST PLC1.0x4", "MOV 70000 PLC1.4x0", "MOV -1 PLC1.4x1",
                      "MOV PLC1.4x2 PLC1.4x3"};
  list.Compile();
  ASSERT_EQ(list.functions.size(), 5u);
  for (const auto& function : list.functions)
    ASSERT_TRUE(function->IsReady()) << function->GetSourceLine() << ": " << function->GetError();

  // The MOV source keeps its block polled; nothing subscribes the coils.
  ASSERT_TRUE(WaitForBlock(registers_, [](const CacheVarBlock& b) { return b.GetWord(4) == 1234; }));
  EXPECT_EQ(coils_->GetCacheBlock()->GetUpdateCount(), CacheVarBlock::kInitialCount);

  for (const auto& function : list.functions)
    EXPECT_TRUE(function->Execute()) << function->GetSourceLine();
  EXPECT_TRUE(slave_.GetCoil(3));
  EXPECT_FALSE(slave_.GetCoil(4));
  EXPECT_FALSE(slave_.GetCoil(2));
  EXPECT_EQ(slave_.GetHoldingRegister(0), 4464) << "70000 keeps its low 16 bits";
  EXPECT_EQ(slave_.GetHoldingRegister(1), 65535);
  EXPECT_EQ(slave_.GetHoldingRegister(3), 1234);

  // The MOV follows the source as the block follows the slave.
  slave_.SetHoldingRegister(2, 777);
  ASSERT_TRUE(WaitForBlock(registers_, [](const CacheVarBlock& b) { return b.GetWord(4) == 777; }));
  EXPECT_TRUE(list.functions[4]->Execute());
  EXPECT_EQ(slave_.GetHoldingRegister(3), 777);

  // RST and SET again.
  EXPECT_TRUE(list.functions[1]->Execute());
  EXPECT_TRUE(dynamic_cast<QlSet&>(*list.functions[0]).IsOn());
  list.sourceLines = {"RST PLC1.0x3"};
  list.Compile();
  EXPECT_TRUE(list.functions[0]->Execute());
  EXPECT_FALSE(slave_.GetCoil(3));
}

TEST_F(CompilerModbusTest, AMoveFromABlockNeverReadWritesNothing) {
  slave_.SetHoldingRegister(20, 5);
  slave_.SetHoldingRegister(9, 99);
  QlFuncList list;
  list.sourceLines = {"MOV PLC1.4x20 PLC1.4x9"};
  list.Compile();
  ASSERT_TRUE(list.functions[0]->IsReady()) << list.functions[0]->GetError();
  EXPECT_FALSE(list.functions[0]->Execute());
  EXPECT_EQ(slave_.GetHoldingRegister(9), 99);
}

TEST_F(CompilerModbusTest, NothingIsWrittenOnceTheNodeIsGone) {
  QlFuncList list;
  list.sourceLines = {"SET PLC1.0x3", "MOV 5 PLC1.4x0"};
  list.Compile();
  ASSERT_TRUE(list.functions[0]->Execute());
  ASSERT_TRUE(slave_.GetCoil(3));
  const auto target = Parse("PLC1.4x1");

  Db().Reset();
  channel_.reset();
  node_.reset();
  EXPECT_FALSE(list.functions[0]->Execute());
  EXPECT_FALSE(list.functions[1]->Execute());
  EXPECT_FALSE(target->WriteWord(1));
  EXPECT_EQ(slave_.GetHoldingRegister(0), 0);
  EXPECT_EQ(slave_.GetHoldingRegister(1), 0);
}

}  // namespace
}  // namespace NsOvrin::NsQlCompiler
