#include "comm_server/SerPortClient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "CommTestUtil.h"
#include "comm_server/SerialPort.h"

using namespace NsOvrin::NsCommServer;
using namespace NsOvrin::NsCommServerTest;
using Clock = std::chrono::steady_clock;

namespace {

// A client holding the slave end of a pseudo-terminal; the test plays the
// device on the master end.
class SerPortClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    client._hfile = OpenSerialPort(SerialParams{}, pty.SlavePath());
    ASSERT_GE(client._hfile, 0);
    pty.CloseSlave();
  }
  void SetReadTimeouts(uint32_t interval, uint32_t total) {
    SerialTimeouts t;
    t.readInterval = interval;
    t.readTotal = total;
    client.SetTimeouts(t);
  }
  std::string ReadText(uint32_t size) {
    std::vector<char> buf(size + 1);
    const int32_t n = client.Read(buf.data(), size);
    return n < 0 ? "<error>" : std::string(buf.data(), static_cast<size_t>(n));
  }

  PtyPair pty;
  SerPortClient client;
};

}  // namespace

TEST(SerPortClient, DefaultTimeouts) {
  const SerialTimeouts t = SerPortClient().GetTimeouts();
  EXPECT_EQ(t.readInterval, 15u);
  EXPECT_EQ(t.readTotal, 2000u);
  EXPECT_EQ(t.writeMultiplier, 10u);
  EXPECT_EQ(t.writeConstant, 500u);
}

TEST_F(SerPortClientTest, BytesCrossBothWays) {
  const std::string request("\x05" "00FFBR0X000\0\xff", 14);
  ASSERT_TRUE(client.Write(request.data(), static_cast<uint32_t>(request.size())));
  EXPECT_EQ(pty.ReadMaster(request.size()), request);

  SetReadTimeouts(15, 30000);
  const std::string reply("\x02" "0102\r\n\x03", 8);
  ASSERT_TRUE(pty.WriteMaster(reply));
  EXPECT_EQ(ReadText(100), reply);
}

TEST_F(SerPortClientTest, SilenceAfterTheFirstBytesEndsTheRead) {
  // With a long total limit, only the inter-byte gap can end these reads.
  SetReadTimeouts(15, 60000);
  const Clock::time_point start = Clock::now();
  std::thread device([&] {
    pty.WriteMaster("ab");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    pty.WriteMaster("cd");
  });
  EXPECT_EQ(ReadText(100), "ab");
  EXPECT_EQ(ReadText(100), "cd");
  device.join();
  EXPECT_LT(MsSince(start), 30000);
}

TEST_F(SerPortClientTest, BytesWithinTheIntervalMakeOneRead) {
  SetReadTimeouts(3000, 60000);
  std::thread device([&] {
    pty.WriteMaster("ab");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    pty.WriteMaster("cd");
  });
  // Only a full buffer ends this read early.
  EXPECT_EQ(ReadText(4), "abcd");
  device.join();
}

TEST_F(SerPortClientTest, FullBufferEndsTheRead) {
  SetReadTimeouts(15, 60000);
  ASSERT_TRUE(pty.WriteMaster("0123456789"));
  EXPECT_EQ(ReadText(4), "0123");
  EXPECT_EQ(ReadText(100), "456789");
  EXPECT_EQ(ReadText(0), "");
}

TEST_F(SerPortClientTest, SilentLineGivesZeroAfterTheTotalLimit) {
  SetReadTimeouts(15, 100);
  char buf[16];
  EXPECT_EQ(client.Read(buf, sizeof buf), 0);
}

TEST_F(SerPortClientTest, CancelIoWakesABlockedRead) {
  SetReadTimeouts(15, 60000);
  const Clock::time_point start = Clock::now();
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    client.CancelIo();
  });
  char buf[16];
  EXPECT_EQ(client.Read(buf, sizeof buf), -1);
  stopper.join();
  EXPECT_LT(MsSince(start), 30000);

  // A cancel with no wait pending cuts the next one, once.
  client.CancelIo();
  EXPECT_EQ(client.Read(buf, sizeof buf), -1);
  SetReadTimeouts(15, 50);
  EXPECT_EQ(client.Read(buf, sizeof buf), 0);
  ASSERT_TRUE(pty.WriteMaster("x"));
  EXPECT_EQ(ReadText(16), "x");
}

TEST_F(SerPortClientTest, PurgeDiscardsWaitingInput) {
  ASSERT_TRUE(pty.WriteMaster("stale"));
  pollfd p{client._hfile, POLLIN, 0};
  ASSERT_EQ(poll(&p, 1, 5000), 1);
  client.Purge();
  SetReadTimeouts(15, 100);
  EXPECT_EQ(ReadText(16), "");
  ASSERT_TRUE(pty.WriteMaster("fresh"));
  SetReadTimeouts(15, 60000);
  EXPECT_EQ(ReadText(16), "fresh");
}

TEST_F(SerPortClientTest, WriteThatDoesNotFitInItsTimeFails) {
  // The device reads nothing: the line's buffers fill and the rest cannot go.
  SerialTimeouts t;
  t.writeMultiplier = 0;
  t.writeConstant = 100;
  client.SetTimeouts(t);
  const std::vector<char> big(4 << 20, 'x');
  EXPECT_FALSE(client.Write(big.data(), static_cast<uint32_t>(big.size())));
}

TEST_F(SerPortClientTest, DeviceGoneFailsTheRead) {
  SetReadTimeouts(15, 60000);
  pty.CloseMaster();
  char buf[16];
  EXPECT_EQ(client.Read(buf, sizeof buf), -1);
}

TEST_F(SerPortClientTest, BadArgumentsAndClosedPort) {
  LogCapture errors(8);
  char buf[4];
  EXPECT_FALSE(client.Write(nullptr, 3));
  EXPECT_FALSE(client.Write(buf, 0));
  EXPECT_EQ(client.Read(nullptr, 4), -1);
  client.Close();
  EXPECT_EQ(client._hfile, -1);
  EXPECT_FALSE(client.Write("ab", 2));  // no log for a closed port
  EXPECT_EQ(client.Read(buf, sizeof buf), -1);
  client.Close();
  const std::vector<std::string> expected = {"pData is null. ", "len != 0 (0 VS 0)", "pBuff is null. ",
                                             "_hfile == INVALID_HANDLE_VALUE"};
  EXPECT_EQ(errors.Texts(), expected);
}
