#include "termination/ChannelManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "NodeDbFixture.h"
#include "QlDev/AddrCheckCode.h"
#include "TcpPeer.h"
#include "termination/NodeMemModbus.h"

namespace NsOvrin::NsTermination {
namespace {

using Testing::ClosedPort;

class ChannelManagerTest : public Testing::NodeDbFixture {};

std::vector<std::string> Names(const std::vector<OneWayWrapper<Node>>& nodes) {
  std::vector<std::string> names;
  for (const auto& handle : nodes) {
    const auto node = handle.Lock();
    names.push_back(node ? node->GetName() : "<gone>");
  }
  return names;
}

TEST_F(ChannelManagerTest, AddChannelRefusesNullAndDuplicates) {
  auto channel = std::make_shared<ChannelEthernet>("ETH1");
  EXPECT_FALSE(Db().AddChannel(nullptr));
  EXPECT_FALSE(channel->IsRunning());
  EXPECT_TRUE(Db().AddChannel(channel));
  EXPECT_FALSE(Db().AddChannel(channel));
  ASSERT_EQ(Db().GetChannels().size(), 1u);

  // The channel reads the manager's flag itself.
  Db().SetRunning(true);
  EXPECT_TRUE(channel->IsRunning());
  Db().SetRunning(false);
  EXPECT_FALSE(channel->IsRunning());
}

TEST_F(ChannelManagerTest, ChannelAddedWhileRunningOpensAtOnceAndResetStopsIt) {
  ClosedPort port;
  auto channel = std::make_shared<ChannelEthernet>("ETH1");
  Db().SetRunning(true);
  ASSERT_TRUE(Db().AddChannel(channel));
  const std::shared_ptr<Node> node = AddTcpNode(channel, "PLC1", ntohs(port.PortNet()));
  ASSERT_NE(node, nullptr);
  EXPECT_TRUE(node->GetWorkerCtrl().IsAlive());

  auto second = std::make_shared<ChannelEthernet>("ETH2");
  auto late = std::make_shared<Node>("PLC2", std::make_shared<NodeMemModbus>(), nullptr, nullptr);
  ASSERT_TRUE(second->AddNode(late));
  EXPECT_FALSE(late->GetWorkerCtrl().IsAlive());
  ASSERT_TRUE(Db().AddChannel(second));
  EXPECT_TRUE(late->GetWorkerCtrl().IsAlive()) << "opened when added to a running database";

  const OneWayWrapper<Channel> handle = channel->GetHandle();
  channel.reset();
  second.reset();
  Db().Reset();
  EXPECT_FALSE(Db().IsRunning());
  EXPECT_TRUE(Db().GetChannels().empty());
  EXPECT_FALSE(handle.IsValid());
  EXPECT_FALSE(node->GetWorkerCtrl().IsAlive());
  EXPECT_FALSE(late->GetWorkerCtrl().IsAlive());
}

TEST_F(ChannelManagerTest, MarkBlocksUnreadReachesEveryBlockOfEveryNode) {
  auto first = AddTcpNode(AddEthernet("ETH1"), "PLC1");
  auto second = AddTcpNode(AddEthernet("ETH2"), "PLC2");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  AddBlock(*first, "4x[0~9]", "words");
  AddBlock(*first, "0x[0~15]", "coils");
  AddBlock(*second, "4x[100~101]", "more");
  const uint8_t reply[] = {1, 2, 3, 4};
  std::vector<std::shared_ptr<CacheVarBlock>> blocks;
  for (const auto& node : {first, second})
    for (const auto& task : node->GetTasks()) {
      task->GetCacheBlock()->Update(reply, sizeof(reply));
      blocks.push_back(task->GetCacheBlock());
    }
  ASSERT_EQ(blocks.size(), 3u);

  Db().MarkBlocksUnread();
  for (const auto& block : blocks) {
    EXPECT_FALSE(block->HasData()) << block->GetName();
    EXPECT_EQ(block->GetDword(0), 0u) << block->GetName();
  }
}

TEST_F(ChannelManagerTest, FindsNodesByExactNameAcrossChannels) {
  auto eth1 = AddEthernet("ETH1");
  auto eth2 = AddEthernet("ETH2");
  ASSERT_NE(AddTcpNode(eth1, "PLC1"), nullptr);
  ASSERT_NE(AddTcpNode(eth1, "PLC3"), nullptr);
  ASSERT_NE(AddTcpNode(eth2, "PLC2"), nullptr);

  EXPECT_EQ(Names(Db().GetAllNodes()), (std::vector<std::string>{"PLC1", "PLC3", "PLC2"}));
  EXPECT_TRUE(Db().HasNode("PLC2"));
  EXPECT_FALSE(Db().HasNode("plc2"));
  EXPECT_FALSE(Db().HasNode(""));
  EXPECT_TRUE(Db().FindNode("NoSuch").IsEmpty());

  const OneWayWrapper<Node> found = Db().FindNode("PLC2");
  ASSERT_TRUE(found.IsValid());
  EXPECT_FALSE(found.IsOwner());
  EXPECT_EQ(found.Lock().get(), FindShared("PLC2").get());
}

TEST_F(ChannelManagerTest, SoleNodeOnlyWhenExactlyOne) {
  OneWayWrapper<Node> sole = Db().FindNode("x");
  auto eth1 = AddEthernet("ETH1");
  auto eth2 = AddEthernet("ETH2");
  EXPECT_FALSE(Db().GetSoleNode(sole));

  ASSERT_NE(AddTcpNode(eth2, "PLC1"), nullptr);
  ASSERT_TRUE(Db().GetSoleNode(sole));
  EXPECT_EQ(sole.Lock()->GetName(), "PLC1");

  ASSERT_NE(AddTcpNode(eth1, "PLC2"), nullptr);
  EXPECT_FALSE(Db().GetSoleNode(sole));
  EXPECT_TRUE(sole.IsEmpty()) << "the output is reset first";
}

TEST_F(ChannelManagerTest, ReplaceNodeKeepsPlaceAndRefusesNameClash) {
  auto eth = AddEthernet("ETH1");
  auto other = AddEthernet("ETH2");
  ASSERT_NE(AddTcpNode(eth, "A"), nullptr);
  ASSERT_NE(AddTcpNode(eth, "B"), nullptr);
  ASSERT_NE(AddTcpNode(eth, "C"), nullptr);
  ASSERT_NE(AddTcpNode(other, "D"), nullptr);
  const OneWayWrapper<Node> oldB = Db().FindNode("B");

  auto make = [](const std::string& name) {
    return std::make_shared<Node>(name, std::make_shared<NodeMemModbus>(), nullptr, nullptr);
  };

  // Renaming to a name another node has: refused, both stay.
  EXPECT_FALSE(Db().ReplaceNode(eth->GetHandle(), oldB, make("D")));
  EXPECT_FALSE(Db().ReplaceNode(eth->GetHandle(), oldB, make("C")));
  EXPECT_EQ(Names(Db().GetAllNodes()), (std::vector<std::string>{"A", "B", "C", "D"}));
  EXPECT_TRUE(oldB.IsValid());

  // Missing parts, and an old node of another channel.
  EXPECT_FALSE(Db().ReplaceNode(eth->GetHandle(), oldB, nullptr));
  EXPECT_FALSE(Db().ReplaceNode(OneWayWrapper<Channel>(), oldB, make("B2")));
  EXPECT_FALSE(Db().ReplaceNode(eth->GetHandle(), OneWayWrapper<Node>(), make("B2")));
  EXPECT_FALSE(Db().ReplaceNode(eth->GetHandle(), Db().FindNode("D"), make("D")));
  EXPECT_EQ(Names(Db().GetAllNodes()), (std::vector<std::string>{"A", "B", "C", "D"}));

  // Same name, or a free one: replaced in place, the old node is gone.
  EXPECT_TRUE(Db().ReplaceNode(eth->GetHandle(), oldB, make("B")));
  EXPECT_FALSE(oldB.IsValid());
  const OneWayWrapper<Node> newB = Db().FindNode("B");
  EXPECT_TRUE(Db().ReplaceNode(eth->GetHandle(), newB, make("B2")));
  EXPECT_EQ(Names(Db().GetAllNodes()), (std::vector<std::string>{"A", "B2", "C", "D"}));
}

TEST_F(ChannelManagerTest, ReplacedNodeStartsOnlyWhileRunning) {
  ClosedPort port;
  auto eth = AddEthernet("ETH1");
  ASSERT_NE(AddTcpNode(eth, "A", ntohs(port.PortNet())), nullptr);
  auto idle = std::make_shared<Node>("A", std::make_shared<NodeMemModbus>(), nullptr, nullptr);
  ASSERT_TRUE(Db().ReplaceNode(eth->GetHandle(), Db().FindNode("A"), idle));
  EXPECT_FALSE(idle->GetWorkerCtrl().IsAlive());

  Db().SetRunning(true);
  ASSERT_TRUE(eth->Open());
  ASSERT_TRUE(idle->GetWorkerCtrl().IsAlive());
  auto started = std::make_shared<Node>("A", std::make_shared<NodeMemModbus>(), nullptr, nullptr);
  ASSERT_TRUE(Db().ReplaceNode(eth->GetHandle(), Db().FindNode("A"), started));
  EXPECT_TRUE(started->GetWorkerCtrl().IsAlive());
  EXPECT_FALSE(idle->GetWorkerCtrl().IsAlive()) << "the old node was stopped";
}

TEST_F(ChannelManagerTest, RemoveNodeKeepsTheOthersInOrder) {
  auto eth = AddEthernet("ETH1");
  auto other = AddEthernet("ETH2");
  for (const char* name : {"A", "B", "C"}) ASSERT_NE(AddTcpNode(eth, name), nullptr);
  ASSERT_NE(AddTcpNode(other, "D"), nullptr);
  const OneWayWrapper<Node> b = Db().FindNode("B");

  EXPECT_FALSE(Db().RemoveNode(eth->GetHandle(), OneWayWrapper<Node>()));
  EXPECT_FALSE(Db().RemoveNode(OneWayWrapper<Channel>(), b));
  EXPECT_TRUE(Db().RemoveNode(eth->GetHandle(), Db().FindNode("D"))) << "not in that channel";
  EXPECT_TRUE(Db().HasNode("D"));

  EXPECT_TRUE(Db().RemoveNode(eth->GetHandle(), b));
  EXPECT_FALSE(b.IsValid()) << "the list held the last reference";
  EXPECT_EQ(Names(Db().GetAllNodes()), (std::vector<std::string>{"A", "C", "D"}));
}

TEST_F(ChannelManagerTest, CanRenameNode) {
  auto eth = AddEthernet("ETH1");
  ASSERT_NE(AddTcpNode(eth, "A"), nullptr);
  ASSERT_NE(AddTcpNode(eth, "B"), nullptr);
  struct Case {
    std::string from, to;
    bool can;
  };
  const std::vector<Case> cases = {
      {"A", "A", true},     {"A", "C", true},      {"A", "B", false},
      {"X", "C", false},    {"X", "X", true},      {"A", "a", true},
  };
  for (const Case& c : cases) EXPECT_EQ(Db().CanRenameNode(c.from, c.to), c.can) << c.from << "->" << c.to;
}

TEST_F(ChannelManagerTest, ReportOpenFailures) {
  auto failed = std::make_shared<ChannelSerialPort>("串口1", "");
  failed->SetDevicePath("/nonexistent/tty");
  auto described = std::make_shared<ChannelSerialPort>("COM2", "");
  described->SetDevicePath("/nonexistent/tty2");
  described->SetDescription("串口2");
  auto eth = std::make_shared<ChannelEthernet>("ETH1");

  std::string text = "kept";
  ASSERT_TRUE(Db().AddChannel(failed));
  EXPECT_FALSE(Db().ReportOpenFailures(text)) << "not running: nothing failed";
  EXPECT_EQ(text, "kept");

  Db().SetRunning(true);
  for (const auto& channel : Db().GetChannels()) channel->Open();
  text.clear();
  EXPECT_TRUE(Db().ReportOpenFailures(text));
  EXPECT_EQ(text, "通道 串口1 打开失败.\r\n");

  ASSERT_TRUE(Db().AddChannel(eth));
  ASSERT_TRUE(Db().AddChannel(described));  // opened at once, and fails
  text.clear();
  EXPECT_TRUE(Db().ReportOpenFailures(text));
  EXPECT_EQ(text, "通道 串口1 打开失败.\r\n通道 COM2 (串口2) 打开失败.\r\n");
}

// ---- node queries and device addresses ----

class DeviceAddressTest : public Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    eth_ = AddEthernet("ETH1");
    plc1_ = AddTcpNode(eth_, "PLC1");
    ASSERT_NE(plc1_, nullptr);
    AddBlock(*plc1_, "4x[0~99]", "words");
    AddBlock(*plc1_, "0x[0~127]", "coils");
  }
  void AddSecondNode() { ASSERT_NE(AddTcpNode(eth_, "PLC2"), nullptr); }

  std::shared_ptr<ChannelEthernet> eth_;
  std::shared_ptr<Node> plc1_;
};

TEST_F(DeviceAddressTest, ResolveWithTheOnlyNode) {
  std::string name;
  OneWayWrapper<Node> node;
  TermAddr addr;
  ASSERT_EQ(ResolveDeviceAddress("4x1", &name, &node, &addr), kAddrOk);
  EXPECT_EQ(name, "PLC1");
  EXPECT_EQ(node.Lock().get(), plc1_.get());
  EXPECT_EQ(addr.prefix, "4x");
  EXPECT_EQ(addr.start, 1u);
  EXPECT_EQ(addr.count, 1u);
  EXPECT_EQ(ResolveDeviceAddress("4x1", nullptr, nullptr, nullptr), kAddrOk);

  AddSecondNode();
  node = Db().FindNode("PLC1");
  EXPECT_EQ(ResolveDeviceAddress("4x1", &name, &node, &addr), kAddrFormatError);
  EXPECT_TRUE(node.IsEmpty()) << "kept only on success";
}

TEST_F(DeviceAddressTest, ResolveCodesAndTheirMessages) {
  auto bare = std::make_shared<Node>("BARE", nullptr, nullptr, nullptr);
  ASSERT_TRUE(eth_->AddNode(bare));
  struct Case {
    std::string text;
    AddrCheckCode code;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"PLC1.4x1", kAddrOk, "正确"},
      {" PLC1.4x[00010~00019] ", kAddrOk, "正确"},
      {"NoSuch.4x1", kAddrNoNode, "没有找到相应的节点"},
      {"plc1.4x1", kAddrNoNode, "没有找到相应的节点"},
      {"PLC1.5x1", kAddrFormatError, "格式错误"},
      {"4x1", kAddrFormatError, "格式错误"},  // two nodes: no sole node
      {"PLC1.4x70000", kAddrBadRange, "起始或者结束地址异常"},
      {"PLC1.4x[10~9]", kAddrBadRange, "起始或者结束地址异常"},
      {"BARE.4x1", kAddrSystemError, "系统错误"},
  };
  for (const Case& c : cases) {
    std::string name = "untouched";
    TermAddr addr;
    EXPECT_EQ(ResolveDeviceAddress(c.text, &name, nullptr, &addr), c.code) << c.text;
    EXPECT_EQ(GetAddrCheckMessage(c.code), c.message) << c.text;
    if (c.code == kAddrOk) {
      EXPECT_EQ(name, "PLC1") << c.text;
    } else {
      EXPECT_TRUE(addr.IsEmpty()) << c.text;
    }
  }
}

TEST_F(DeviceAddressTest, NormalizeRewritesOnlyWhatResolves) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"PLC1.4x10", "PLC1.4x00010"},
      {" PLC1.4X[1~3] ", "PLC1.4x[00001~00003]"},
      {"4x7", "PLC1.4x00007"},  // the sole node
      {"PLC1.5x10", "PLC1.5x10"},
      {"NoSuch.4x10", "NoSuch.4x10"},
      {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(NormalizeDeviceAddress(in), out) << in;
}

TEST_F(DeviceAddressTest, CheckDeviceAddressWithAndWithoutBlock) {
  struct Case {
    std::string text;
    AddrCheckCode plain;
    AddrCheckCode withBlock;
  };
  const std::vector<Case> cases = {
      {"PLC1.4x5", kAddrOk, kAddrOk},
      {"PLC1.4x99", kAddrOk, kAddrOk},
      {"PLC1.4x100", kAddrOk, kAddrNotInBlock},
      {"PLC1.3x5", kAddrOk, kAddrNotInBlock},
      {"PLC1.0x127", kAddrOk, kAddrOk},
      {"PLC1.4x[0~119]", kAddrOk, kAddrNotInBlock},
      {"PLC1.4x[0~120]", kAddrOk, kAddrBadLength},
      {"", kAddrFormatError, kAddrFormatError},
      {"Nope.4x1", kAddrNoNode, kAddrNoNode},
  };
  AddSecondNode();
  for (const Case& c : cases) {
    EXPECT_EQ(CheckDeviceAddress(c.text, false), c.plain) << c.text;
    EXPECT_EQ(CheckDeviceAddress(c.text, true), c.withBlock) << c.text;
  }
  EXPECT_EQ(GetAddrCheckMessage(kAddrNotInBlock), "不在预定义的数据块内");
  EXPECT_EQ(GetAddrCheckMessage(kAddrBadLength), "块长度异常");
}

TEST_F(DeviceAddressTest, CheckDeviceAddressKind) {
  struct Case {
    std::string text;
    uint32_t kind;
    AddrCheckCode code;
  };
  const std::vector<Case> cases = {
      {"", kKindWord, kAddrEmpty},
      {"PLC1.4x1", kKindWord, kAddrOk},
      {"PLC1.4x1", kKindBit, kAddrTypeMismatch},
      {"PLC1.0x1", kKindBit, kAddrOk},
      {"PLC1.0x1", kKindWord, kAddrTypeMismatch},
      {"PLC1.0x200", kKindBit, kAddrNotInBlock},
      {"PLC1.9x1", kKindBit, kAddrFormatError},
      {"X.0x1", kKindBit, kAddrNoNode},
      {"PLC1.0x65534", kKindBit, kAddrBadRange},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckDeviceAddressKind(c.text, c.kind), c.code) << c.text;
  EXPECT_EQ(GetAddrCheckMessage(kAddrEmpty), "地址不能为空");
  EXPECT_EQ(GetAddrCheckMessage(kAddrTypeMismatch), "数据类型与地址不匹配");
}

TEST_F(DeviceAddressTest, BlockChecksNeedTheWholeNode) {
  // A map but no transport: the block checks cannot ask the protocol.
  auto noDevice = std::make_shared<Node>("ND", std::make_shared<NodeMemModbus>(), nullptr, nullptr);
  ASSERT_TRUE(eth_->AddNode(noDevice));
  EXPECT_EQ(CheckDeviceAddress("ND.4x1", false), kAddrOk);
  EXPECT_EQ(CheckDeviceAddress("ND.4x1", true), kAddrSystemError);
  EXPECT_EQ(noDevice->CheckBlockText("4x1"), kAddrSystemError);
}

TEST_F(DeviceAddressTest, IsInDataBlockAndCheckBlockText) {
  struct Case {
    std::string address;
    bool inBlock;
  };
  const std::vector<Case> cases = {
      {"4x0", true}, {"4x99", true}, {"4x100", false}, {"4x[90~99]", true},
      {"4x[90~100]", false}, {"0x127", true}, {"0x128", false}, {"1x0", false},
  };
  for (const Case& c : cases) {
    TermAddr addr;
    ASSERT_EQ(plc1_->GetNodeMem()->ParseAddress(c.address, addr), kAddrOk) << c.address;
    EXPECT_EQ(plc1_->IsInDataBlock(addr), c.inBlock) << c.address;
  }

  EXPECT_EQ(plc1_->CheckBlockText("4x[0~119]"), kAddrOk);
  EXPECT_EQ(plc1_->CheckBlockText("4x[0~120]"), kAddrBadLength);
  EXPECT_EQ(plc1_->CheckBlockText("0x[0~1919]"), kAddrOk);
  EXPECT_EQ(plc1_->CheckBlockText("0x[0~1920]"), kAddrBadLength);
  EXPECT_EQ(plc1_->CheckBlockText("4x[65530~65540]"), kAddrBadRange);
  EXPECT_EQ(plc1_->CheckBlockText("7x1"), kAddrFormatError);

  auto bare = std::make_shared<Node>("BARE", nullptr, nullptr, nullptr);
  EXPECT_EQ(bare->CheckBlockText("4x1"), kAddrSystemError);
}

TEST_F(DeviceAddressTest, ModbusRtuBlockLongerThanOneRequest) {
  auto serial = std::make_shared<ChannelSerialPort>("COM1", "");
  ASSERT_TRUE(Db().AddChannel(serial));
  NsDevDefine::RsDevParam param;
  param.name = "RTU";
  param.deviceId = kModelModbusRtu;
  ASSERT_TRUE(AddRsDev(serial->GetHandle(), param));
  const std::shared_ptr<Node> rtu = FindShared("RTU");
  ASSERT_NE(rtu, nullptr);
  EXPECT_EQ(rtu->CheckBlockText("4x[0~119]"), kAddrOk);
  EXPECT_EQ(rtu->CheckBlockText("4x[0~120]"), kAddrBadLength);
}

}  // namespace
}  // namespace NsOvrin::NsTermination
