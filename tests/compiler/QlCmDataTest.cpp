// Operands of MOV: literals, device addresses, their usage checks, their
// data-block subscriptions and reading the value from the block.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "CompilerFixture.h"
#include "compiler/QlCmData.h"
#include "compiler/QlCmTermAddr.h"
#include "term_data/CacheVarBlock.h"

namespace NsOvrin::NsQlCompiler {
namespace {

using NsTermination::DataTypeFlag;
using NsTermination::kTypeBit;
using NsTermination::kTypeInt16;
using NsTermination::kTypeInt32;
using NsTermination::kTypeString;
using NsTermination::kTypeUInt16;
using NsTermination::kTypeUInt32;
using Testing::CompilerFixture;

TEST(ParseIntOperandTest, LiteralsAndTheirTexts) {
  struct Case {
    std::string token;
    bool isSigned;  // QlCmInt, else QlCmUInt
    int32_t value;
    std::string text;
  };
  const Case cases[] = {
      {"5", false, 5, "5"},
      {"+12", false, 12, "12"},
      {"007", false, 7, "7"},
      {"-5", true, -5, "-5"},
      {"-0", true, 0, "0"},
      {"-05", true, -5, "-5"},
      {"2147483647", false, INT32_MAX, "2147483647"},
      {"2147483648", false, INT32_MAX, "2147483647"},
      {"99999999999", false, INT32_MAX, "2147483647"},
      {"999999999999999999999999", false, INT32_MAX, "2147483647"},
      {"-2147483648", true, INT32_MIN, "-2147483648"},
      {"-99999999999", true, INT32_MIN, "-2147483648"},
  };
  for (const Case& c : cases) {
    std::shared_ptr<QlCmData> operand;
    ASSERT_TRUE(ParseIntOperand(c.token, operand)) << c.token;
    ASSERT_NE(operand, nullptr);
    EXPECT_EQ(dynamic_cast<QlCmInt*>(operand.get()) != nullptr, c.isSigned) << c.token;
    EXPECT_EQ(dynamic_cast<QlCmUInt*>(operand.get()) != nullptr, !c.isSigned) << c.token;
    EXPECT_EQ(operand->value, c.value) << c.token;
    EXPECT_EQ(operand->ToString(), c.text) << c.token;
  }
}

TEST(ParseIntOperandTest, NotLiterals) {
  const std::string tokens[] = {"",    "+",   "-",   "1.5", "0x10", "D",    "D0",
                                " 5",  "5 ",  "--5", "+-5", "1e3",  "１２", "٣",
                                "5\n", "-5\n", std::string("5\0", 2), "\xff" "5"};
  for (const std::string& token : tokens) {
    std::shared_ptr<QlCmData> operand;
    EXPECT_FALSE(ParseIntOperand(token, operand)) << token;
    EXPECT_EQ(operand, nullptr) << token;
  }
}

TEST(LiteralOperandTest, FetchKeepsTheValueAndWritesFail) {
  QlCmUInt literal(70000);
  QlCmInt negative(-1);
  EXPECT_TRUE(literal.Fetch());
  EXPECT_EQ(literal.value, 70000);
  EXPECT_FALSE(literal.WriteWord(1));
  EXPECT_FALSE(literal.WriteDword(1));
  EXPECT_TRUE(negative.Fetch());
  EXPECT_EQ(negative.value, -1);
  EXPECT_FALSE(negative.WriteWord(1));
  EXPECT_FALSE(negative.WriteDword(1));
  EXPECT_EQ(negative.ToString(), "-1");
  EXPECT_EQ(QlCmUInt(-1).ToString(), "4294967295");
}

TEST(LiteralOperandTest, UsageTable) {
  const QlCmInt minusOne(-1);
  const QlCmInt minusFive(-5);
  const QlCmUInt seven(7);
  struct Case {
    const QlCmData* operand;
    uint32_t type;
    uint32_t access;
    bool usable;
    std::string message;
  };
  const Case cases[] = {
      {&minusOne, kTypeBit, kAccessRead, false, "4294967295 不能作为点位处理."},
      {&minusOne, kTypeBit, kAccessWrite, false, "4294967295 不能作为点位处理."},
      {&minusOne, kTypeBit, 9, false, "4294967295 不能作为点位处理."},
      {&seven, kTypeBit, kAccessRead, true, ""},
      {&seven, kTypeBit, kAccessWrite, false, "7 不能作为输出."},
      {&seven, kTypeBit, kAccessReadWrite, false, "7 不能作为输出."},
      {&seven, kTypeBit, 3, false, "系统异常, 异常的存取类型."},
      {&minusFive, kTypeInt16, kAccessRead, true, ""},
      {&minusFive, kTypeUInt16, kAccessRead, true, ""},
      {&minusFive, kTypeInt32, kAccessRead, true, ""},
      {&minusFive, kTypeUInt32, kAccessRead, true, ""},
      {&minusFive, kTypeUInt16, kAccessWrite, false, "-5 不能作为输出."},
      {&minusFive, kTypeInt32, kAccessReadWrite, false, "-5 不能作为输出."},
      {&minusFive, kTypeInt16, 3, false, "系统异常, 异常的存取类型."},
      {&seven, kTypeInt16, kAccessRead, true, ""},
      {&seven, kTypeUInt32, kAccessRead, true, ""},
      {&seven, kTypeUInt16, kAccessWrite, false, "7 不能作为输出."},
      {&seven, kTypeUInt32, kAccessReadWrite, false, "7 不能作为输出."},
      {&seven, kTypeUInt16, 7, false, "系统异常, 异常的存取类型."},
      {&minusOne, kTypeString, kAccessRead, false, "4294967295 不能作为字符串处理."},
      {&seven, kTypeString, kAccessWrite, false, "7 不能作为字符串处理."},
      {&minusFive, 0, kAccessRead, false, "系统异常, 异常的数据类型."},
      {&seven, 3, kAccessRead, false, "系统异常, 异常的数据类型."},
      {&seven, 64, kAccessRead, false, "系统异常, 异常的数据类型."},
  };
  for (const Case& c : cases) {
    const auto type = static_cast<DataTypeFlag>(c.type);
    std::string message = "untouched";
    EXPECT_EQ(c.operand->CheckUsage(type, c.access, &message), c.usable)
        << c.operand->ToString() << " " << c.type << "/" << c.access;
    EXPECT_EQ(message, c.usable ? "untouched" : c.message)
        << c.operand->ToString() << " " << c.type << "/" << c.access;
    EXPECT_EQ(c.operand->CheckUsage(type, c.access, nullptr), c.usable);
  }
}

class AddrOperandTest : public CompilerFixture {
 protected:
  static std::shared_ptr<QlCmTermAddr> Parse(const std::string& token) {
    std::shared_ptr<QlCmData> operand;
    if (!ParseAddrOperand(token, operand)) return nullptr;
    auto address = std::dynamic_pointer_cast<QlCmTermAddr>(operand);
    EXPECT_NE(address, nullptr) << token;
    return address;
  }

  // A reply stored into the block as the polling thread would.
  static void Fill(const std::shared_ptr<NsTermination::TaskReadData>& task, uint8_t byte) {
    const auto& block = task->GetCacheBlock();
    std::string bytes(block->GetSize(), static_cast<char>(byte));
    block->Update(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
};

TEST_F(AddrOperandTest, CanonicalTextsHoweverTyped) {
  AddSecondNode();
  struct Case {
    std::string token;
    std::string text;
  };
  const Case cases[] = {
      {"PLC1.D0", "PLC1.D0"},
      {"PLC1.d0", "PLC1.D0"},
      {" PLC1.x17 ", "PLC1.X17"},
      {"PLC1.D[2~4]", "PLC1.D[2~4]"},
      {"PLC2.4x10", "PLC2.4x00010"},
      {"PLC2.0X3", "PLC2.0x00003"},
  };
  for (const Case& c : cases) {
    const auto operand = Parse(c.token);
    ASSERT_NE(operand, nullptr) << c.token;
    EXPECT_EQ(operand->ToString(), c.text) << c.token;
    EXPECT_EQ(operand->value, 0);
    EXPECT_EQ(operand->GetTask(), nullptr) << "parsing subscribes nothing";
  }
}

TEST_F(AddrOperandTest, WhatDoesNotResolve) {
  for (const std::string token : {"NoSuch.D0", "PLC1.Q0", "PLC1.D8000", "PLC1.X8", "", "5"}) {
    std::shared_ptr<QlCmData> operand;
    EXPECT_FALSE(ParseAddrOperand(token, operand)) << token;
    EXPECT_EQ(operand, nullptr);
  }
  // A bare address names the only node; with two it is ambiguous.
  EXPECT_EQ(Parse("D0")->ToString(), "PLC1.D0");
  AddSecondNode();
  std::shared_ptr<QlCmData> operand;
  EXPECT_FALSE(ParseAddrOperand("D0", operand));
}

TEST_F(AddrOperandTest, UsageRules) {
  struct Case {
    std::string token;
    uint32_t type;
    uint32_t access;
    uint32_t bindAccess;  // 9: not bound
    bool usable;
    std::string message;
  };
  const Case cases[] = {
      // Type first.
      {"M0", kTypeUInt16, kAccessRead, kAccessRead, false,
       "PLC1.M0 不支持 无符号 WORD(16bits) 操作."},
      {"M0", kTypeInt32, kAccessRead, kAccessRead, false,
       "PLC1.M0 不支持 有符号 DWORD(32bits) 操作."},
      {"M0", kTypeString, kAccessRead, kAccessRead, false, "PLC1.M0 不支持 字符串 操作."},
      {"D0", kTypeBit, kAccessRead, kAccessRead, false, "PLC1.D0 不支持点位操作."},
      {"D0", 3, kAccessRead, kAccessRead, false, "系统异常, 异常的数据类型."},
      {"M0", 0, kAccessWrite, 9, false, "系统异常, 异常的数据类型."},
      // Reading needs a subscription.
      {"D2", kTypeUInt16, kAccessRead, 9, false, "地址 PLC1.D2 不在预定义的数据块中."},
      {"D2", kTypeUInt16, kAccessRead, kAccessWrite, false, "地址 PLC1.D2 不在预定义的数据块中."},
      {"D2", kTypeUInt16, kAccessRead, kAccessRead, true, ""},
      {"D100", kTypeUInt16, kAccessRead, kAccessRead, false,
       "地址 PLC1.D100 不在预定义的数据块中."},
      {"M3", kTypeBit, kAccessRead, kAccessReadWrite, true, ""},
      // Writing needs a writable area, no block.
      {"D100", kTypeUInt16, kAccessWrite, 9, true, ""},
      {"Y0", kTypeBit, kAccessWrite, 9, true, ""},
      {"X0", kTypeBit, kAccessWrite, 9, false, "PLC1.X0 为只读地址."},
      // Both: the subscription first, then the writable flag.
      {"X1", kTypeBit, kAccessReadWrite, 9, false, "地址 PLC1.X1 不在预定义的数据块中."},
      {"X1", kTypeBit, kAccessReadWrite, kAccessRead, false, "PLC1.X1 为只读地址."},
      {"D9", kTypeInt16, kAccessReadWrite, kAccessRead, true, ""},
      {"D9", kTypeInt16, 5, kAccessRead, false, "系统异常."},
  };
  for (const Case& c : cases) {
    const auto operand = Parse(c.token);
    ASSERT_NE(operand, nullptr) << c.token;
    const auto type = static_cast<DataTypeFlag>(c.type);
    if (c.bindAccess != 9) operand->Bind(type, c.bindAccess);
    std::string message = "untouched";
    EXPECT_EQ(operand->CheckUsage(type, c.access, &message), c.usable)
        << c.token << " " << c.type << "/" << c.access;
    EXPECT_EQ(message, c.usable ? "untouched" : c.message) << c.token;
    EXPECT_EQ(operand->CheckUsage(type, c.access, nullptr), c.usable) << c.token;
  }
}

TEST_F(AddrOperandTest, SubscriptionFollowsTheLastBind) {
  auto operand = Parse("D5");
  ASSERT_NE(operand, nullptr);
  operand->Bind(kTypeUInt16, kAccessRead);
  EXPECT_EQ(operand->GetTask(), words_);
  EXPECT_EQ(operand->GetOffset(), 10) << "bytes into the block";
  EXPECT_EQ(operand->GetBoundType(), kTypeUInt16);
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);

  // Binding again holds one unit, not two.
  operand->Bind(kTypeUInt16, kAccessRead);
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
  operand->Bind(kTypeInt16, kAccessReadWrite);
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
  EXPECT_EQ(operand->GetBoundType(), kTypeInt16);

  // Writing needs no block: the subscription goes.
  operand->Bind(kTypeUInt16, kAccessWrite);
  EXPECT_EQ(operand->GetTask(), nullptr);
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);

  // Two operands, two units; destruction gives them back.
  operand->Bind(kTypeUInt16, kAccessRead);
  auto other = Parse("PLC1.D0");
  other->Bind(kTypeUInt16, kAccessRead);
  EXPECT_EQ(words_->GetSubscriberCount(), 2u);
  operand.reset();
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
  other.reset();
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
  EXPECT_EQ(bits_->GetSubscriberCount(), 0u);
  EXPECT_EQ(inputs_->GetSubscriberCount(), 0u);
}

TEST_F(AddrOperandTest, ADoubleWordMustFitTheBlock) {
  const auto last = Parse("D9");
  last->Bind(kTypeUInt32, kAccessRead);
  EXPECT_EQ(last->GetTask(), nullptr);
  last->Bind(kTypeUInt16, kAccessRead);
  EXPECT_EQ(last->GetTask(), words_);
  const auto inside = Parse("D8");
  inside->Bind(kTypeUInt32, kAccessRead);
  EXPECT_EQ(inside->GetTask(), words_);
  EXPECT_EQ(words_->GetSubscriberCount(), 2u);
}

TEST_F(AddrOperandTest, SubscriptionOnceTheNodeIsGone) {
  const auto operand = Parse("D1");
  Db().Reset();
  channel_.reset();
  plc1_.reset();
  ASSERT_FALSE(operand->GetNode().IsValid());
  operand->Bind(kTypeUInt16, kAccessRead);
  EXPECT_EQ(operand->GetTask(), nullptr);
  EXPECT_EQ(operand->ToString(), "PLC1.D1");
  EXPECT_FALSE(operand->WriteWord(1));
  EXPECT_FALSE(operand->WriteDword(1));
  EXPECT_FALSE(operand->Fetch());
}

TEST_F(AddrOperandTest, FetchReadsTheBlockAsTheBoundType) {
  const auto word = Parse("D3");
  EXPECT_FALSE(word->Fetch()) << "not subscribed";
  word->Bind(kTypeUInt16, kAccessRead);
  word->value = 42;
  EXPECT_FALSE(word->Fetch()) << "no reply has filled the block yet";
  EXPECT_EQ(word->value, 42);

  Fill(words_, 0xFF);
  ASSERT_TRUE(word->Fetch());
  EXPECT_EQ(word->value, 65535);
  // The signed word is zero-extended too.
  word->Bind(kTypeInt16, kAccessRead);
  ASSERT_TRUE(word->Fetch());
  EXPECT_EQ(word->value, 65535);

  // Words and double words in the Modbus order of the H3U block.
  const uint8_t reply[20] = {0, 0, 0, 0, 0, 0, 0x12, 0x34, 0x56, 0x78};
  words_->GetCacheBlock()->Update(reply, sizeof reply);
  word->Bind(kTypeUInt16, kAccessRead);
  ASSERT_TRUE(word->Fetch());
  EXPECT_EQ(word->value, 0x1234);
  word->Bind(kTypeUInt32, kAccessRead);
  ASSERT_TRUE(word->Fetch());
  EXPECT_EQ(static_cast<uint32_t>(word->value), 0x56781234u);
  word->Bind(kTypeInt32, kAccessRead);
  ASSERT_TRUE(word->Fetch());
  EXPECT_EQ(static_cast<uint32_t>(word->value), 0x56781234u);

  // A bit subscription has no word to fetch.
  const auto bit = Parse("M3");
  bit->Bind(kTypeBit, kAccessRead);
  ASSERT_NE(bit->GetTask(), nullptr);
  Fill(bits_, 0xFF);
  EXPECT_FALSE(bit->Fetch());
}

}  // namespace
}  // namespace NsOvrin::NsQlCompiler
