#include "termination/AddrBinder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "NodeDbFixture.h"

namespace NsOvrin::NsTermination {
namespace {

// One element's binding, with every output wanted.
struct Binding {
  OneWayWrapper<Node> node;
  TermAddr addr;
  std::shared_ptr<TaskReadData> task;
  uint16_t offset = 0xFFFF;

  AddrBinder Binder(uint16_t dataType = kTypeInt16) {
    AddrBinder b;
    b.node = &node;
    b.addr = &addr;
    b.dataType = dataType;
    b.task = &task;
    b.offset = &offset;
    return b;
  }
};

class AddrBinderTest : public Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    auto eth = AddEthernet("ETH1");
    plc1_ = AddTcpNode(eth, "PLC1");
    ASSERT_NE(plc1_, nullptr);
    AddBlock(*plc1_, "4x[0~99]", "words");
    AddBlock(*plc1_, "4x[200~209]", "more");
    AddBlock(*plc1_, "0x[0~127]", "coils");
    words_ = TaskNamed(*plc1_, "words");
    more_ = TaskNamed(*plc1_, "more");
    coils_ = TaskNamed(*plc1_, "coils");
  }

  std::shared_ptr<Node> plc1_;
  std::shared_ptr<TaskReadData> words_, more_, coils_;
};

TEST(TrimBlanks, DropsBlanksAtBothEndsOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"PLC1.4x1", "PLC1.4x1"},   {" \t PLC1.4x1\r\n", "PLC1.4x1"}, {"a b", "a b"},
      {"  a b\v\f", "a b"},      {" \t\r\n\v\f", ""},           {"", ""},
      {std::string("\0 x ", 4), std::string("\0 x", 3)},
  };
  for (const auto& [text, trimmed] : cases) {
    std::string out = text;
    TrimBlanks(out);
    EXPECT_EQ(out, trimmed) << text;
  }
}

TEST_F(AddrBinderTest, BindRewritesTheTextAndFillsTheRecord) {
  std::string text = "  PLC1.4x10\t";
  Binding b;
  ASSERT_TRUE(BindAddress(text, b.Binder()));
  EXPECT_EQ(text, "PLC1.4x00010");
  EXPECT_EQ(b.node.Lock().get(), plc1_.get());
  EXPECT_EQ(b.addr.prefix, "4x");
  EXPECT_EQ(b.addr.start, 10u);
  EXPECT_EQ(b.addr.count, 1u);
  EXPECT_EQ(b.task, words_);
  EXPECT_EQ(b.offset, 20u) << "bytes for a word address";
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);

  std::string coil = "PLC1.0x5";
  Binding c;
  ASSERT_TRUE(BindAddress(coil, c.Binder(kTypeBit)));
  EXPECT_EQ(c.task, coils_);
  EXPECT_EQ(c.offset, 5u) << "bits for a bit address";

  // Without outputs: a resolve and a rewrite only.
  std::string bare = "PLC1.4x7 ";
  EXPECT_TRUE(BindAddress(bare, AddrBinder{}));
  EXPECT_EQ(bare, "PLC1.4x00007");
}

TEST_F(AddrBinderTest, TextsThatDoNotBind) {
  struct Case {
    std::string text;
    std::string after;  // the caller's text afterwards
  };
  const std::vector<Case> cases = {
      {"4x10", "4x10"},  // no node part, even with a sole node
      {"   ", ""},
      {"NoSuch.4x10", "NoSuch.4x10"},
      {" PLC1.5x10 ", "PLC1.5x10"},
      {"PLC1.4x70000", "PLC1.4x70000"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    Binding b;
    EXPECT_FALSE(BindAddress(text, b.Binder())) << c.text;
    EXPECT_EQ(text, c.after) << c.text;
    EXPECT_TRUE(b.addr.IsEmpty()) << c.text;
    EXPECT_EQ(b.task, nullptr) << c.text;
    EXPECT_EQ(b.offset, 0u) << c.text;
  }
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
}

TEST_F(AddrBinderTest, OutsideEveryBlockKeepsTheResolvedPart) {
  std::string text = "PLC1.4x150";
  Binding b;
  EXPECT_FALSE(BindAddress(text, b.Binder()));
  EXPECT_EQ(text, "PLC1.4x00150");
  EXPECT_TRUE(b.node.IsValid());
  EXPECT_EQ(b.addr.start, 150u);
  EXPECT_EQ(b.task, nullptr);
  for (const auto& task : plc1_->GetTasks()) EXPECT_EQ(task->GetSubscriberCount(), 0u);

  // A task wanted without an offset to put the position in.
  std::string inside = "PLC1.4x10";
  AddrBinder noOffset = b.Binder();
  noOffset.offset = nullptr;
  EXPECT_FALSE(BindAddress(inside, noOffset));
  EXPECT_EQ(b.task, nullptr);
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
}

TEST_F(AddrBinderTest, ThirtyTwoBitValueMustFitInTheBlock) {
  struct Case {
    std::string text;
    uint16_t type;
    bool bound;
  };
  const std::vector<Case> cases = {
      {"PLC1.4x99", kTypeInt16, true},   {"PLC1.4x99", kTypeInt32, false},
      {"PLC1.4x99", kTypeUInt32, false}, {"PLC1.4x98", kTypeInt32, true},
      {"PLC1.4x209", kTypeUInt16, true}, {"PLC1.4x209", kTypeUInt32, false},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    Binding b;
    EXPECT_EQ(BindAddress(text, b.Binder(c.type)), c.bound) << c.text << " type " << c.type;
    ReleaseBinding(b.Binder());
  }
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
  EXPECT_EQ(more_->GetSubscriberCount(), 0u);
}

TEST_F(AddrBinderTest, SubscriptionsFollowTheBindings) {
  Binding first, second;
  std::string a = "PLC1.4x1", b = "PLC1.4x2";
  ASSERT_TRUE(BindAddress(a, first.Binder()));
  ASSERT_TRUE(BindAddress(b, second.Binder()));
  EXPECT_EQ(words_->GetSubscriberCount(), 2u);

  // Rebinding ends the old subscription first.
  std::string moved = "PLC1.4x205";
  ASSERT_TRUE(BindAddress(moved, second.Binder()));
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
  EXPECT_EQ(more_->GetSubscriberCount(), 1u);
  EXPECT_EQ(second.offset, 10u);

  // Rebinding to the same address twice does not pile up.
  ASSERT_TRUE(BindAddress(a, first.Binder()));
  ASSERT_TRUE(BindAddress(a, first.Binder()));
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);

  // A failed rebind still lets the old one go.
  std::string nowhere = "PLC1.4x150";
  EXPECT_FALSE(BindAddress(nowhere, first.Binder()));
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);

  ReleaseBinding(second.Binder());
  EXPECT_EQ(more_->GetSubscriberCount(), 0u);
  EXPECT_EQ(second.task, nullptr);
  EXPECT_EQ(second.offset, 0u);
  EXPECT_TRUE(second.node.IsEmpty());
  EXPECT_TRUE(second.addr.IsEmpty());
  EXPECT_EQ(second.addr.kind, kKindWord);
  EXPECT_EQ(second.addr.count, 0u);
}

TEST_F(AddrBinderTest, ReleaseNeverGoesBelowZero) {
  std::shared_ptr<TaskReadData> held = words_;
  ReleaseReadTaskRef(held);
  EXPECT_EQ(held, nullptr);
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
  std::shared_ptr<TaskReadData> none;
  ReleaseReadTaskRef(none);
  ReleaseBinding(AddrBinder{});
}

TEST_F(AddrBinderTest, BindWithCountCoversARun) {
  Binding b;
  std::string text = "PLC1.0x100";
  ASSERT_TRUE(BindAddressWithCount(text, 16, b.Binder(kTypeBit)));
  EXPECT_EQ(text, "PLC1.0x00100") << "the text names the first unit only";
  EXPECT_EQ(b.addr.count, 16u);
  EXPECT_EQ(b.task, coils_);
  EXPECT_EQ(b.offset, 100u);

  // A run past the block's end does not subscribe.
  EXPECT_FALSE(BindAddressWithCount(text, 29, b.Binder(kTypeBit)));
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
  ASSERT_TRUE(BindAddressWithCount(text, 28, b.Binder(kTypeBit)));

  // Count 0 is taken as 1.
  std::string word = "PLC1.4x[5~9]";
  ASSERT_TRUE(BindAddressWithCount(word, 0, b.Binder()));
  EXPECT_EQ(word, "PLC1.4x[00005~00009]");
  EXPECT_EQ(b.addr.count, 1u);
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
}

TEST_F(AddrBinderTest, LookupAddressArea) {
  MemArea area;
  std::string text = "  PLC1.0x17 ";
  ASSERT_TRUE(LookupAddressArea(text, area));
  EXPECT_EQ(text, "PLC1.0x17") << "trimmed, not rewritten";
  EXPECT_EQ(area.prefix, "0x");
  EXPECT_EQ(area.kind, kKindBit);

  text = "PLC1.4x17";
  ASSERT_TRUE(LookupAddressArea(text, area));
  EXPECT_EQ(area.kind, kKindWord);
  EXPECT_EQ(area.prefix, "4x");

  auto bare = std::make_shared<Node>("BARE", nullptr, nullptr, nullptr);
  ASSERT_TRUE(Db().GetChannels().front()->AddNode(bare));
  for (std::string bad : {"4x17", "", "NoSuch.4x1", "PLC1.5x1", "PLC1.4x70000", "BARE.4x1"}) {
    MemArea untouched;
    untouched.prefix = "kept";
    EXPECT_FALSE(LookupAddressArea(bad, untouched)) << bad;
    EXPECT_EQ(untouched.prefix, "kept") << bad;
  }
}

TEST_F(AddrBinderTest, BindingOutlivesItsNodeSafely) {
  Binding b;
  std::string text = "PLC1.4x3";
  ASSERT_TRUE(BindAddress(text, b.Binder()));
  const std::weak_ptr<TaskReadData> task = words_;
  words_.reset();
  more_.reset();
  coils_.reset();
  plc1_.reset();
  Db().Reset();
  EXPECT_FALSE(b.node.IsValid());
  ASSERT_NE(b.task, nullptr) << "a subscriber keeps its task";
  ReleaseBinding(b.Binder());
  EXPECT_TRUE(task.expired());
}

}  // namespace
}  // namespace NsOvrin::NsTermination
