#include "termination/Channel.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "comm_server/SerialPort.h"
#include "protocol/ProtocolModbTcp.h"
#include "termination/NodeMemModbus.h"

namespace NsOvrin::NsTermination {
namespace {

using namespace std::chrono_literals;
namespace Cs = NsCommServer;

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(2ms);
  }
  return true;
}

// A transport that is never ready; while held, a polling thread that asks
// whether it is ready stays inside the question.
class GateDevice : public DeviceImpl {
 public:
  uint32_t GetKind() const override { return kTcp; }
  void Connect(LinkFailCount&) override {}
  void Purge() override {}
  bool Send(const uint8_t*, uint32_t, LinkFailCount&) override { return false; }
  bool IsReady(uint32_t, LinkFailCount&) override {
    asked = true;
    while (hold) std::this_thread::sleep_for(1ms);
    return false;
  }
  int32_t Receive(uint8_t*, uint32_t, LinkFailCount&) override { return -1; }
  void Close() override { ++closes; }
  void Interrupt() override {}

  std::atomic<bool> hold{false};
  std::atomic<bool> asked{false};
  std::atomic<int> closes{0};
};

std::shared_ptr<Node> MakeNode(const std::string& name, std::shared_ptr<DeviceImpl> device) {
  return std::make_shared<Node>(name, std::make_shared<NodeMemModbus>(),
                                std::make_unique<NsProtocol::ProtocolGeneralModbTcp>(1),
                                std::move(device));
}

// A pseudo-terminal whose slave end stands in for a COM port.
class Pty {
 public:
  Pty() {
    char name[PATH_MAX] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return;
    termios tio{};
    if (tcgetattr(slave_, &tio) == 0) {
      cfmakeraw(&tio);
      tcsetattr(slave_, TCSANOW, &tio);
    }
    path_ = name;
  }
  ~Pty() {
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
  }
  const std::string& Path() const { return path_; }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

TEST(ChannelTypeNameTest, NamesOfTheTypeCodes) {
  const struct {
    uint32_t type;
    const char* name;
  } cases[] = {{1, "sr"}, {2, "ethnet"}, {0, ""}, {3, ""}, {0xFFFFFFFF, ""}};
  for (const auto& c : cases) EXPECT_EQ(GetChannelTypeName(c.type), c.name) << c.type;
}

TEST(ChannelSerialPortTest, SettingsFromTheParameterText) {
  const struct {
    const char* text;
    uint32_t port, baud, parity, dataBits, stopBits;
    const char* readBack;
  } cases[] = {
      {"com:3;param:19200,n,8,1;", 3, Cs::kBaud19200, Cs::kParityNone, Cs::kDataBits8, Cs::kStopBits1,
       "com:3;param:19200,n,8,1;"},
      {"", 1, Cs::kBaud9600, Cs::kParityEven, Cs::kDataBits7, Cs::kStopBits1, "com:1;param:9600,e,7,1;"},
      {"garbage", 1, Cs::kBaud9600, Cs::kParityEven, Cs::kDataBits7, Cs::kStopBits1,
       "com:1;param:9600,e,7,1;"},
      {"COM:4;param:9600,n,8,1;", 1, Cs::kBaud9600, Cs::kParityEven, Cs::kDataBits7, Cs::kStopBits1,
       "com:1;param:9600,e,7,1;"},
      {"com:12;param:9600,E,8,2;ctrl:xyz;", 12, Cs::kBaud9600, Cs::kParityEven, Cs::kDataBits8,
       Cs::kStopBits2, "com:12;param:9600,e,8,2;"},
      {"com:2;param:115200,o,8,2;", 2, Cs::kBaud115200, Cs::kParityOdd, Cs::kDataBits8, Cs::kStopBits2,
       "com:2;param:115200,o,8,2;"},
  };
  for (const auto& c : cases) {
    ChannelSerialPort channel("S1", c.text);
    const Cs::SerialParams& s = channel.GetSettings();
    EXPECT_EQ(s.port, c.port) << c.text;
    EXPECT_EQ(s.baud, c.baud) << c.text;
    EXPECT_EQ(s.parity, c.parity) << c.text;
    EXPECT_EQ(s.dataBits, c.dataBits) << c.text;
    EXPECT_EQ(s.stopBits, c.stopBits) << c.text;
    EXPECT_EQ(channel.GetParamText(), c.readBack) << c.text;
    EXPECT_EQ(channel.GetType(), Channel::kTypeSerial);
    EXPECT_TRUE(channel.GetDeviceImpl());
  }
}

TEST(ChannelEthernetTest, FixedAnswers) {
  ChannelEthernet channel("E0");
  EXPECT_EQ(channel.GetName(), "E0");
  EXPECT_EQ(channel.GetDescription(), "");
  EXPECT_EQ(channel.GetType(), Channel::kTypeEthernet);
  EXPECT_EQ(channel.GetParamText(), "");
  bool running = true;
  channel.SetRunningFlag(&running);
  EXPECT_FALSE(channel.IsOpenFailed());
}

TEST(ChannelTest, NodeListAndLookUp) {
  ChannelEthernet channel("E0");
  auto a = MakeNode("PLC1", std::make_shared<GateDevice>());
  auto b = MakeNode("PLC2", std::make_shared<GateDevice>());
  EXPECT_FALSE(channel.AddNode(nullptr));
  EXPECT_TRUE(channel.AddNode(a));
  EXPECT_TRUE(channel.AddNode(b));
  EXPECT_FALSE(channel.AddNode(a));

  const std::vector<OneWayWrapper<Node>> nodes = channel.GetNodes();
  ASSERT_EQ(nodes.size(), 2u);
  EXPECT_EQ(nodes[0].Lock().get(), a.get());
  EXPECT_EQ(nodes[1].Lock().get(), b.get());
  EXPECT_FALSE(nodes[0].IsOwner());

  EXPECT_EQ(channel.FindNode("PLC2").Lock().get(), b.get());
  EXPECT_TRUE(channel.FindNode("plc2").IsEmpty());
  EXPECT_TRUE(channel.FindNode("PLC").IsEmpty());
  EXPECT_TRUE(channel.FindNode("").IsEmpty());
  // Not running: nothing started.
  EXPECT_FALSE(a->GetWorkerCtrl().IsAlive());
}

TEST(ChannelTest, ReplaceAndRemoveKeepTheOrder) {
  bool running = true;
  ChannelEthernet channel("E0");
  channel.SetRunningFlag(&running);
  auto a = MakeNode("A", std::make_shared<GateDevice>());
  auto b = MakeNode("B", std::make_shared<GateDevice>());
  auto c = MakeNode("C", std::make_shared<GateDevice>());
  ASSERT_TRUE(channel.AddNode(a));
  ASSERT_TRUE(channel.AddNode(b));
  ASSERT_TRUE(channel.AddNode(c));
  EXPECT_TRUE(a->GetWorkerCtrl().IsAlive());

  auto b2 = MakeNode("B2", std::make_shared<GateDevice>());
  EXPECT_FALSE(channel.ReplaceNode(b.get(), nullptr));
  EXPECT_FALSE(channel.ReplaceNode(b2.get(), b2));  // old node not in the list
  EXPECT_FALSE(channel.ReplaceNode(b.get(), c));    // new node already there
  ASSERT_TRUE(channel.ReplaceNode(b.get(), b2));
  EXPECT_FALSE(b->GetWorkerCtrl().IsAlive());
  EXPECT_TRUE(b2->GetWorkerCtrl().IsAlive());
  ASSERT_EQ(channel.GetNodeList().size(), 3u);
  EXPECT_EQ(channel.GetNodeList()[1], b2);

  channel.RemoveNode(a.get());
  channel.RemoveNode(a.get());
  ASSERT_EQ(channel.GetNodeList().size(), 2u);
  EXPECT_EQ(channel.GetNodeList()[0], b2);
  EXPECT_EQ(channel.GetNodeList()[1], c);
  // Still held here, but no longer polling.
  EXPECT_FALSE(a->GetWorkerCtrl().IsAlive());
}

TEST(ChannelTest, EthernetOpenStartsCloseStopsAndClosesTransports) {
  bool running = false;
  ChannelEthernet channel("E0");
  channel.SetRunningFlag(&running);
  std::vector<std::shared_ptr<GateDevice>> devices;
  std::vector<std::shared_ptr<Node>> nodes;
  for (int i = 0; i < 2; ++i) {
    devices.push_back(std::make_shared<GateDevice>());
    nodes.push_back(MakeNode("N" + std::to_string(i), devices.back()));
    ASSERT_TRUE(channel.AddNode(nodes.back()));
  }
  EXPECT_FALSE(nodes[0]->GetWorkerCtrl().IsAlive());

  running = true;
  ASSERT_TRUE(channel.Open());
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_TRUE(nodes[i]->GetWorkerCtrl().IsAlive());
    EXPECT_TRUE(WaitUntil([&] { return devices[i]->asked.load(); }));
  }
  // A node added while the system runs starts at once.
  auto late = MakeNode("late", std::make_shared<GateDevice>());
  ASSERT_TRUE(channel.AddNode(late));
  EXPECT_TRUE(late->GetWorkerCtrl().IsAlive());

  channel.Close();
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_FALSE(nodes[i]->GetWorkerCtrl().IsAlive());
    EXPECT_EQ(devices[i]->closes.load(), 1);
  }
  EXPECT_FALSE(late->GetWorkerCtrl().IsAlive());
  // Opening again starts them again.
  ASSERT_TRUE(channel.Open());
  EXPECT_TRUE(nodes[1]->GetWorkerCtrl().IsAlive());
  channel.Close();
}

TEST(ChannelTest, StopClearsEveryRunFlagBeforeWaitingForTheFirst) {
  bool running = true;
  ChannelEthernet channel("E0");
  channel.SetRunningFlag(&running);
  auto first = std::make_shared<GateDevice>();
  first->hold = true;
  std::vector<std::shared_ptr<Node>> nodes{MakeNode("N1", first),
                                           MakeNode("N2", std::make_shared<GateDevice>()),
                                           MakeNode("N3", std::make_shared<GateDevice>())};
  for (const auto& node : nodes) ASSERT_TRUE(channel.AddNode(node));
  ASSERT_TRUE(channel.Open());
  ASSERT_TRUE(WaitUntil([&] { return first->asked.load(); }));

  auto closing = std::async(std::launch::async, [&] { channel.Close(); });
  // The first node's thread cannot end while its transport is held, so the
  // channel is still waiting for it; the other two flags are already clear.
  const bool othersCleared = WaitUntil([&] {
    return !nodes[1]->GetWorkerCtrl().IsRunning() && !nodes[2]->GetWorkerCtrl().IsRunning();
  }, 5s);
  const bool firstStillAlive = nodes[0]->GetWorkerCtrl().IsAlive();
  first->hold = false;
  closing.get();
  EXPECT_TRUE(othersCleared);
  EXPECT_TRUE(firstStillAlive);
  for (const auto& node : nodes) EXPECT_FALSE(node->GetWorkerCtrl().IsAlive());
}

TEST(ChannelTest, DestroyedWhilePollingStopsNodesAndInvalidatesHandles) {
  bool running = true;
  auto device = std::make_shared<GateDevice>();
  auto node = MakeNode("N1", device);
  OneWayWrapper<Channel> handle;
  {
    ChannelEthernet channel("E0");
    channel.SetRunningFlag(&running);
    ASSERT_TRUE(channel.AddNode(node));
    ASSERT_TRUE(channel.Open());
    ASSERT_TRUE(WaitUntil([&] { return device->asked.load(); }));
    handle = channel.GetHandle();
    EXPECT_TRUE(handle.IsValid());
  }
  EXPECT_FALSE(handle.IsValid());
  EXPECT_FALSE(node->GetWorkerCtrl().IsAlive());
  EXPECT_EQ(device->closes.load(), 1);
}

class SerialChannelTest : public ::testing::Test {
 protected:
  SerialChannelTest() { channel.SetRunningFlag(&running); }

  std::shared_ptr<Node> SerialNode(const std::string& name) { return MakeNode(name, nullptr); }

  Pty pty;
  bool running = false;
  ChannelSerialPort channel{"S1", "com:1;param:9600,n,8,1;"};
};

TEST_F(SerialChannelTest, NodesShareTheChannelTransport) {
  auto own = std::make_shared<GateDevice>();
  auto a = MakeNode("A", own);
  auto b = SerialNode("B");
  ASSERT_TRUE(channel.AddNode(a));
  ASSERT_TRUE(channel.AddNode(b));
  EXPECT_FALSE(channel.AddNode(b));
  EXPECT_EQ(a->GetDeviceImpl(), channel.GetDeviceImpl());
  EXPECT_EQ(b->GetDeviceImpl(), channel.GetDeviceImpl());
}

TEST_F(SerialChannelTest, PortThatFailsToOpenIsReportedAndRetried) {
  auto a = SerialNode("A");
  ASSERT_TRUE(channel.AddNode(a));
  // Not running: never reported.
  EXPECT_FALSE(channel.IsOpenFailed());

  running = true;
  EXPECT_TRUE(channel.IsOpenFailed());  // running, port not open yet
  channel.SetDevicePath("/nonexistent/tty");
  EXPECT_FALSE(channel.Open());
  EXPECT_TRUE(channel.IsOpenFailed());
  EXPECT_FALSE(a->GetWorkerCtrl().IsAlive());
  // A node added meanwhile waits for the port as well.
  auto b = SerialNode("B");
  ASSERT_TRUE(channel.AddNode(b));
  EXPECT_FALSE(b->GetWorkerCtrl().IsAlive());

  ASSERT_FALSE(pty.Path().empty());
  channel.SetDevicePath(pty.Path());
  ASSERT_TRUE(channel.Open());
  EXPECT_FALSE(channel.IsOpenFailed());
  EXPECT_TRUE(a->GetWorkerCtrl().IsAlive());
  EXPECT_TRUE(b->GetWorkerCtrl().IsAlive());

  channel.Close();
  EXPECT_FALSE(a->GetWorkerCtrl().IsAlive());
  EXPECT_EQ(channel.GetDeviceImpl()->GetPortHandle(), Cs::kInvalidSerialHandle);
  EXPECT_TRUE(channel.IsOpenFailed());  // still running, port closed
  running = false;
  EXPECT_FALSE(channel.IsOpenFailed());
}

TEST_F(SerialChannelTest, NodeAddedToARunningChannelUsesItsOpenPort) {
  running = true;
  channel.SetDevicePath(pty.Path());
  ASSERT_TRUE(channel.Open());
  const int port = channel.GetDeviceImpl()->GetPortHandle();
  ASSERT_NE(port, Cs::kInvalidSerialHandle);

  auto late = SerialNode("late");
  ASSERT_TRUE(channel.AddNode(late));
  EXPECT_TRUE(late->GetWorkerCtrl().IsAlive());
  auto device = std::dynamic_pointer_cast<DevSerialImpl>(late->GetDeviceImpl());
  ASSERT_TRUE(device);
  EXPECT_EQ(device->GetPortHandle(), port);

  // Opening an open channel again keeps the port the nodes use.
  EXPECT_TRUE(channel.Open());
  EXPECT_EQ(channel.GetDeviceImpl()->GetPortHandle(), port);
  EXPECT_TRUE(late->GetWorkerCtrl().IsAlive());
  channel.Close();
}

TEST(SerialChannelLifetimeTest, DestroyedChannelClosesItsPortEvenWhenANodeOutlivesIt) {
  Pty pty;
  bool running = true;
  auto node = MakeNode("A", nullptr);
  std::shared_ptr<DevSerialImpl> device;
  {
    ChannelSerialPort channel("S1", "");
    channel.SetRunningFlag(&running);
    channel.SetDevicePath(pty.Path());
    ASSERT_TRUE(channel.AddNode(node));
    ASSERT_TRUE(channel.Open());
    device = channel.GetDeviceImpl();
    ASSERT_NE(device->GetPortHandle(), Cs::kInvalidSerialHandle);
  }
  EXPECT_FALSE(node->GetWorkerCtrl().IsAlive());
  EXPECT_EQ(device->GetPortHandle(), Cs::kInvalidSerialHandle);
}

}  // namespace
}  // namespace NsOvrin::NsTermination
