#include "termination/DeviceImpl.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "LogCapture.h"
#include "PtyPeer.h"
#include "TcpPeer.h"

namespace NsOvrin::NsTermination {
namespace {

using namespace std::chrono_literals;
using NsCommServer::ENetClient;
using Testing::ClosedPort;
using Testing::LogCapture;
using Testing::PeerReply;
using Testing::PtyPeer;
using Testing::TcpPeer;

std::string ReceiveText(DeviceImpl& device, LinkFailCount& count, int32_t* result = nullptr) {
  uint8_t buffer[256];
  const int32_t n = device.Receive(buffer, sizeof buffer, count);
  if (result != nullptr) *result = n;
  return n > 0 ? std::string(reinterpret_cast<char*>(buffer), static_cast<size_t>(n))
               : std::string();
}

bool SendText(DeviceImpl& device, const std::string& text, LinkFailCount& count) {
  return device.Send(reinterpret_cast<const uint8_t*>(text.data()),
                     static_cast<uint32_t>(text.size()), count);
}

// A receive on another thread; the caller wakes or waits for it.
std::future<int32_t> ReceiveAsync(DeviceImpl& device, LinkFailCount& count) {
  return std::async(std::launch::async, [&device, &count] {
    uint8_t buffer[64];
    return device.Receive(buffer, sizeof buffer, count);
  });
}

// ---- serial ----

class DevSerialTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.IsOpen());
    const int fd = peer.OpenSlave();
    ASSERT_GE(fd, 0);
    device.SetPortHandle(fd);
  }

  void SetReadTotal(uint32_t ms) {
    NsCommServer::SerialTimeouts timeouts;
    timeouts.readTotal = ms;
    device.GetClient().SetTimeouts(timeouts);
  }

  PtyPeer peer;
  DevSerialImpl device;
  LinkFailCount count{3};
};

TEST_F(DevSerialTest, CarriesBytesBothWays) {
  EXPECT_EQ(device.GetKind(), 1u);
  EXPECT_TRUE(device.IsReady(17, count));
  device.Connect(count);
  EXPECT_TRUE(SendText(device, "R1:1\n", count));
  EXPECT_EQ(peer.Read(2s), "R1:1\n");
  peer.Write("A99\n");
  EXPECT_EQ(ReceiveText(device, count), "A99\n");
  EXPECT_EQ(count.load(), 3) << "the serial transport leaves the failure count alone";
}

TEST_F(DevSerialTest, PurgeDropsStaleInput) {
  SetReadTotal(200);
  peer.Write("stale");
  std::this_thread::sleep_for(50ms);
  device.Purge();
  peer.Write("fresh");
  EXPECT_EQ(ReceiveText(device, count), "fresh");
}

TEST_F(DevSerialTest, ReadTimeOutGivesZero) {
  SetReadTotal(100);
  int32_t n = -2;
  ReceiveText(device, count, &n);
  EXPECT_EQ(n, 0);
}

TEST_F(DevSerialTest, ClosedPortRefusesToExchange) {
  LogCapture errors(8);
  device.Close();
  EXPECT_EQ(device.GetPortHandle(), -1);
  EXPECT_FALSE(SendText(device, "R1:1\n", count));
  int32_t n = 0;
  ReceiveText(device, count, &n);
  EXPECT_EQ(n, -1);
  EXPECT_EQ(errors.Count("_hfile == INVALID_HANDLE_VALUE"), 1u);
  device.Close();  // twice is harmless
}

TEST_F(DevSerialTest, NewHandleClosesTheOldOne) {
  const int old = device.GetPortHandle();
  // A second descriptor on the same line (the exclusive opener refuses the
  // slave again, so duplicate the open one).
  const int other = fcntl(old, F_DUPFD_CLOEXEC, 0);
  ASSERT_GE(other, 0);
  device.SetPortHandle(other);
  EXPECT_EQ(device.GetPortHandle(), other);
  EXPECT_EQ(fcntl(old, F_GETFD), -1);
  device.SetPortHandle(other);  // the same one again stays open
  EXPECT_NE(fcntl(other, F_GETFD), -1);
}

TEST_F(DevSerialTest, InterruptWakesABlockedReceive) {
  SetReadTotal(30000);
  auto pending = ReceiveAsync(device, count);
  std::this_thread::sleep_for(100ms);
  device.Interrupt();
  ASSERT_EQ(pending.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(pending.get(), -1);
}

TEST_F(DevSerialTest, OnlyTheMarkedUserIsWoken) {
  SetReadTotal(150);
  int me = 0;
  int other = 0;
  int32_t n = -2;
  device.InterruptIfUsedBy(&me);  // nobody marked: nothing happens
  ReceiveText(device, count, &n);
  EXPECT_EQ(n, 0);
  {
    DeviceImpl::UseScope use(device, &me);
    device.InterruptIfUsedBy(&other);
    ReceiveText(device, count, &n);
    EXPECT_EQ(n, 0) << "another node's stop must not cut this wait";
    device.InterruptIfUsedBy(&me);
    ReceiveText(device, count, &n);
    EXPECT_EQ(n, -1);
  }
  device.InterruptIfUsedBy(&me);  // the mark ended with the scope
  ReceiveText(device, count, &n);
  EXPECT_EQ(n, 0);
}

// ---- TCP ----

class DevETcpTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(peer.IsListening()); }

  std::unique_ptr<DevETcpImpl> MakeDevice(uint32_t recvTimeoutMs = 2000) {
    return std::make_unique<DevETcpImpl>(TcpPeer::LoopbackNet(), peer.PortNet(), recvTimeoutMs);
  }

  TcpPeer peer;
  LinkFailCount count{3};
};

TEST_F(DevETcpTest, ConnectsAndExchanges) {
  auto device = MakeDevice();
  EXPECT_EQ(device->GetKind(), 2u);
  EXPECT_EQ(device->GetRemotePort(), peer.PortNet());
  device->Connect(count);
  EXPECT_EQ(count.load(), 0);
  EXPECT_EQ(device->GetClient().GetState(), ENetClient::kConnectTried);
  EXPECT_TRUE(peer.WaitForAccepted(1));

  EXPECT_TRUE(SendText(*device, "R1:1\n", count));
  EXPECT_EQ(ReceiveText(*device, count), "A1234\n");
  EXPECT_TRUE(device->IsReady(17, count));
  EXPECT_EQ(device->GetReconnectElapsed(), 0u);

  // Connected already: no second connection.
  device->Connect(count);
  EXPECT_TRUE(SendText(*device, "R2:1\n", count));
  EXPECT_EQ(ReceiveText(*device, count), "A1234\n");
  EXPECT_EQ(peer.Accepted(), 1u);

  device->Close();
  EXPECT_EQ(device->GetClient().GetState(), ENetClient::kNoSocket);
}

TEST_F(DevETcpTest, ReconnectsOnANewSocketAfterAccumulatedPollingTime) {
  peer.SetHandler([](const std::string&, size_t index) {
    PeerReply reply = PeerReply::Line("A1234\n");
    reply.reset = index == 0;
    return reply;
  });
  auto device = MakeDevice();
  device->Connect(count);
  ASSERT_TRUE(peer.WaitForAccepted(1));
  EXPECT_TRUE(SendText(*device, "R1:1\n", count));
  int32_t n = 0;
  ReceiveText(*device, count, &n);
  EXPECT_EQ(n, -1);
  EXPECT_EQ(device->GetClient().GetState(), ENetClient::kNoSocket) << "a reset closes the socket";

  EXPECT_FALSE(device->IsReady(1000, count));
  EXPECT_FALSE(device->IsReady(499, count));
  EXPECT_EQ(device->GetReconnectElapsed(), 1499u);
  EXPECT_EQ(peer.Accepted(), 1u);
  EXPECT_TRUE(device->IsReady(1, count));
  EXPECT_EQ(device->GetReconnectElapsed(), 0u);
  ASSERT_TRUE(peer.WaitForAccepted(2));
  const auto ports = peer.ClientPorts();
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_NE(ports[0], ports[1]);

  EXPECT_TRUE(SendText(*device, "R1:1\n", count));
  EXPECT_EQ(ReceiveText(*device, count), "A1234\n");
}

TEST_F(DevETcpTest, SwitchedOffDeviceIsTriedOncePerInterval) {
  ClosedPort off;
  DevETcpImpl device(TcpPeer::LoopbackNet(), off.PortNet(), 500);
  device.Connect(count);
  // A connect attempt counts as connected: one exchange is tried.
  EXPECT_EQ(device.GetClient().GetState(), ENetClient::kConnectTried);
  EXPECT_TRUE(device.IsReady(17, count));
  EXPECT_FALSE(SendText(device, "R1:1\n", count));
  EXPECT_NE(device.GetClient().GetState(), ENetClient::kConnectTried);

  EXPECT_FALSE(device.IsReady(1499, count));
  EXPECT_TRUE(device.IsReady(1, count)) << "the next attempt after 1500 ms";
  EXPECT_EQ(device.GetReconnectElapsed(), 0u);
}

TEST_F(DevETcpTest, FirstCycleElapsedDoesNotWrapTheAccumulator) {
  ClosedPort off;
  DevETcpImpl device(TcpPeer::LoopbackNet(), off.PortNet(), 500);
  EXPECT_FALSE(device.IsReady(1000, count));
  EXPECT_TRUE(device.IsReady(0xFFFFFFF0u, count)) << "a huge elapsed triggers the attempt";
}

TEST_F(DevETcpTest, ReceiveTimeOutKeepsTheConnection) {
  LogCapture warnings(4);
  peer.SetHandler([](const std::string&, size_t) { return PeerReply::None(); });
  auto device = MakeDevice(100);
  device->Connect(count);
  EXPECT_TRUE(SendText(*device, "R1:1\n", count));
  int32_t n = 0;
  ReceiveText(*device, count, &n);
  EXPECT_EQ(n, -1);
  EXPECT_EQ(device->GetClient().GetState(), ENetClient::kConnectTried);
  EXPECT_TRUE(warnings.Texts().empty());
}

// The receive time-out counts from the request: a receive after it has run
// out ends at once, even when the first receive of the exchange got bytes
// (a reply of an earlier request) and the awaited one would come later.
TEST_F(DevETcpTest, ReceivesOfOneExchangeShareTheTimeOutOfItsRequest) {
  peer.SetHandler([](const std::string&, size_t) { return PeerReply{{"S\n", "A\n"}, 1800, false}; });
  auto device = MakeDevice(1000);
  device->Connect(count);
  EXPECT_TRUE(SendText(*device, "R1:1\n", count));
  EXPECT_EQ(ReceiveText(*device, count), "S\n");
  std::this_thread::sleep_for(1200ms);
  int32_t n = 0;
  EXPECT_EQ(ReceiveText(*device, count, &n), "");
  EXPECT_EQ(n, -1);
  EXPECT_EQ(device->GetClient().GetState(), ENetClient::kConnectTried);
}

// A peer that ends its side of the connection (end of stream) but keeps its
// socket: nothing more comes on that connection, so it is lost like a reset
// one and restored on a new socket after the usual pause.
TEST_F(DevETcpTest, EndOfStreamIsALostLink) {
  peer.SetHandler([](const std::string&, size_t index) {
    PeerReply reply = PeerReply::Line("A1234\n");
    reply.halfClose = index == 0;
    return reply;
  });
  auto device = MakeDevice();
  device->Connect(count);
  ASSERT_TRUE(peer.WaitForAccepted(1));
  EXPECT_TRUE(SendText(*device, "R1:1\n", count));
  EXPECT_EQ(ReceiveText(*device, count), "A1234\n");
  int32_t n = -2;
  ReceiveText(*device, count, &n);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(device->GetClient().GetState(), ENetClient::kNoSocket);
  EXPECT_FALSE(device->IsReady(1499, count));
  EXPECT_EQ(peer.Accepted(), 1u);
  EXPECT_TRUE(device->IsReady(1, count));
  ASSERT_TRUE(peer.WaitForAccepted(2));
  EXPECT_TRUE(SendText(*device, "R1:1\n", count));
  EXPECT_EQ(ReceiveText(*device, count), "A1234\n");
}

// A receive time-out of 0 (a channels file may hold it) waits the device
// dialog's default rather than without bound; any other value is kept.
TEST_F(DevETcpTest, AReceiveTimeOutOf0WaitsTheDefault) {
  EXPECT_EQ(DevETcpImpl::kDefaultRecvTimeoutMs, 2000u);
  EXPECT_EQ(MakeDevice(0)->GetClient().GetRecvTimeout(), 2000u);
  EXPECT_EQ(MakeDevice(300)->GetClient().GetRecvTimeout(), 300u);
  peer.SetHandler([](const std::string&, size_t) { return PeerReply::None(); });
  auto device = MakeDevice(0);
  device->Connect(count);
  EXPECT_TRUE(SendText(*device, "R1:1\n", count));
  auto pending = ReceiveAsync(*device, count);
  const bool ended = pending.wait_for(20s) == std::future_status::ready;
  if (!ended) device->Interrupt();  // lets the test end
  EXPECT_TRUE(ended);
  EXPECT_EQ(pending.get(), -1);
  EXPECT_EQ(device->GetClient().GetState(), ENetClient::kConnectTried);
}

// The purge before a request cuts nothing out of the stream: it marks what
// waits, which ReceiveWaiting hands out, and no more (what comes after it is
// the exchange's). Every new socket is a new connection, a new stream.
TEST_F(DevETcpTest, ThePurgeMarksWhatWaitsAndDropsNothing) {
  peer.SetHandler([](const std::string&, size_t index) { return PeerReply::Line(index == 0 ? "LATE\n" : "A1234\n"); });
  auto device = MakeDevice();
  device->Connect(count);
  const uint32_t connection = device->GetConnection();
  EXPECT_NE(connection, 0u);
  const auto waiting = [&](uint32_t bytes) {
    for (int i = 0; i < 1000 && device->GetClient().Waiting() < bytes; ++i) std::this_thread::sleep_for(2ms);
    return device->GetClient().Waiting() == bytes;
  };
  uint8_t buffer[3] = {};
  EXPECT_EQ(device->ReceiveWaiting(buffer, sizeof buffer), 0) << "nothing marked yet";
  EXPECT_TRUE(SendText(*device, "R1:1\n", count));
  ASSERT_TRUE(waiting(5));
  device->Purge();
  EXPECT_EQ(device->ReceiveWaiting(buffer, sizeof buffer), 3);
  EXPECT_EQ(std::string(buffer, buffer + 3), "LAT");
  EXPECT_EQ(device->ReceiveWaiting(buffer, sizeof buffer), 2);
  EXPECT_EQ(std::string(buffer, buffer + 2), "E\n");
  EXPECT_EQ(device->ReceiveWaiting(buffer, sizeof buffer), 0);

  device->Purge();
  EXPECT_TRUE(SendText(*device, "R1:1\n", count));
  ASSERT_TRUE(waiting(6));
  EXPECT_EQ(device->ReceiveWaiting(buffer, sizeof buffer), 0) << "it came after the purge";
  EXPECT_EQ(ReceiveText(*device, count), "A1234\n");
  EXPECT_EQ(device->GetConnection(), connection);

  device->Close();
  device->Connect(count);
  ASSERT_TRUE(peer.WaitForAccepted(2));
  EXPECT_NE(device->GetConnection(), connection);
}

TEST_F(DevETcpTest, RefusesWithoutSocketOrBytes) {
  auto device = MakeDevice();
  uint8_t buffer[8] = {'x'};
  EXPECT_FALSE(device->Send(buffer, 1, count));
  EXPECT_EQ(device->Receive(buffer, sizeof buffer, count), -1);
  device->Connect(count);
  EXPECT_FALSE(device->Send(buffer, 0, count));
  EXPECT_FALSE(device->Send(nullptr, 1, count));
  EXPECT_EQ(device->Receive(buffer, 0, count), -1);
  EXPECT_EQ(device->Receive(nullptr, 8, count), -1);
  EXPECT_EQ(peer.RequestCount(), 0u);
}

TEST_F(DevETcpTest, InterruptWakesABlockedReceive) {
  peer.SetHandler([](const std::string&, size_t) { return PeerReply::None(); });
  auto device = MakeDevice(30000);
  device->Connect(count);
  auto pending = ReceiveAsync(*device, count);
  std::this_thread::sleep_for(100ms);
  device->Interrupt();
  ASSERT_EQ(pending.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(pending.get(), -1);
  EXPECT_EQ(device->GetClient().GetState(), ENetClient::kConnectTried);
}

}  // namespace
}  // namespace NsOvrin::NsTermination
