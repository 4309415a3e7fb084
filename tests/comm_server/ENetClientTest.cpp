#include "comm_server/ENetClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "CommTestUtil.h"

using namespace NsOvrin::NsCommServer;
using namespace NsOvrin::NsCommServerTest;
using Clock = std::chrono::steady_clock;

namespace {

const uint32_t kLoopback = htonl(INADDR_LOOPBACK);

// A loopback TCP socket: listening (a device that is on) or only bound (a
// port where nothing listens: connects to it are refused).
class Peer {
 public:
  explicit Peer(bool listening) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = kLoopback;
    socklen_t len = sizeof a;
    if (bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0 || (listening && listen(fd_, 4) != 0)) {
      close(fd_);
      fd_ = -1;
    }
    port_ = a.sin_port;
  }
  ~Peer() {
    if (conn_ >= 0) close(conn_);
    if (fd_ >= 0) close(fd_);
  }
  bool Ok() const { return fd_ >= 0; }
  uint16_t Port() const { return port_; }  // network byte order
  bool Accept() {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, 5000) != 1) return false;
    if (conn_ >= 0) close(conn_);
    conn_ = accept(fd_, nullptr, nullptr);
    return conn_ >= 0;
  }
  bool SendText(const std::string& s) const { return send(conn_, s.data(), s.size(), MSG_NOSIGNAL) == ssize_t(s.size()); }
  std::string RecvText(size_t count) const {
    std::string out;
    while (out.size() < count) {
      pollfd p{conn_, POLLIN, 0};
      if (poll(&p, 1, 5000) != 1) break;
      char buf[256];
      const ssize_t n = recv(conn_, buf, sizeof buf, 0);
      if (n <= 0) break;
      out.append(buf, size_t(n));
    }
    return out;
  }
  void CloseConnection() {
    close(conn_);
    conn_ = -1;
  }
  // Closes the accepted connection with a reset instead of a normal close.
  void Reset() {
    linger l{1, 0};
    setsockopt(conn_, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    close(conn_);
    conn_ = -1;
  }

 private:
  int fd_ = -1;
  int conn_ = -1;
  uint16_t port_ = 0;
};

bool WaitReadable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, 5000) == 1;
}

std::string RecvText(ENetClient& c, size_t size) {
  std::string buf(size, '\0');
  const ssize_t n = c.Recv(buf.data(), size);
  return n < 0 ? "<error>" : buf.substr(0, size_t(n));
}

// A client connected to a listening peer.
class ConnectedClient : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.Ok());
    ASSERT_TRUE(client.Connect(kLoopback, peer.Port(), failCount));
    ASSERT_TRUE(peer.Accept());
  }
  Peer peer{true};
  ENetClient client{1500, 0};
  std::atomic<int> failCount{3};
};

}  // namespace

TEST_F(ConnectedClient, ConnectsBlockingAndExchangesBytes) {
  EXPECT_EQ(client.GetState(), ENetClient::kConnectTried);
  EXPECT_EQ(failCount.load(), 0);
  const int sock = client.GetSocket();
  EXPECT_EQ(fcntl(sock, F_GETFL) & O_NONBLOCK, 0);
  timeval tv{};
  socklen_t len = sizeof tv;
  ASSERT_EQ(getsockopt(sock, SOL_SOCKET, SO_SNDTIMEO, &tv, &len), 0);
  EXPECT_EQ(tv.tv_sec * 1000 + tv.tv_usec / 1000, 1500);

  ASSERT_EQ(client.Send("\x00\x01\x00\x00\x00\x06", 6), 6);
  EXPECT_EQ(peer.RecvText(6), std::string("\x00\x01\x00\x00\x00\x06", 6));
  ASSERT_TRUE(peer.SendText("reply"));
  EXPECT_EQ(RecvText(client, 64), "reply");
}

TEST(ENetClient, RefusedConnectFailsAtOnceAndTheCallsAfterItMakeANewSocket) {
  Peer closed(false);
  ASSERT_TRUE(closed.Ok());
  ENetClient client(1500, 200);
  std::atomic<int> failCount{0};

  const Clock::time_point start = Clock::now();
  EXPECT_FALSE(client.Connect(kLoopback, closed.Port(), failCount));
  EXPECT_LT(MsSince(start), 2000);  // refused, not timed out
  EXPECT_EQ(client.GetState(), ENetClient::kConnectTried);
  EXPECT_GE(client.GetSocket(), 0);
  EXPECT_EQ(failCount.load(), 1);

  // The exchange tried on the failed socket fails with an error that closes it.
  EXPECT_EQ(client.Send("x", 1), -1);
  const int sendError = errno;
  EXPECT_EQ(sendError, EPIPE);
  client.OnSocketError(sendError, failCount);
  EXPECT_EQ(client.GetState(), ENetClient::kNoSocket);

  // From state 0 a call makes a socket and tries it; from state 2 a call only
  // closes, and the one after it makes a new socket.
  EXPECT_FALSE(client.Connect(kLoopback, closed.Port(), failCount));
  ASSERT_EQ(client.GetState(), ENetClient::kConnectTried);
  failCount = 2;
  EXPECT_FALSE(client.Connect(kLoopback, closed.Port(), failCount));
  EXPECT_EQ(client.GetState(), ENetClient::kNoSocket);
  EXPECT_EQ(client.GetSocket(), -1);
  EXPECT_EQ(failCount.load(), 5);
  failCount = 4;
  EXPECT_FALSE(client.Connect(kLoopback, closed.Port(), failCount));
  EXPECT_EQ(client.GetState(), ENetClient::kConnectTried);
  EXPECT_GE(client.GetSocket(), 0);
  EXPECT_EQ(failCount.load(), 5);
  EXPECT_FALSE(client.Connect(kLoopback, closed.Port(), failCount));
  EXPECT_FALSE(client.Connect(kLoopback, closed.Port(), failCount));
  EXPECT_EQ(failCount.load(), 5);  // never above 5
}

TEST(ENetClient, NotConnectedSocketIsReplacedAndConnects) {
  // After "not connected" the failed socket is not connected a second time
  // (the platform refuses that); a fresh one reaches the device once it is on.
  Peer closed(false);
  ASSERT_TRUE(closed.Ok());
  ENetClient client(1500, 200);
  std::atomic<int> failCount{0};
  EXPECT_FALSE(client.Connect(kLoopback, closed.Port(), failCount));
  client.OnSocketError(ENOTCONN, failCount);
  EXPECT_EQ(client.GetState(), ENetClient::kNotConnected);
  EXPECT_EQ(failCount.load(), 5);

  Peer device(true);
  ASSERT_TRUE(device.Ok());
  EXPECT_TRUE(client.Connect(kLoopback, device.Port(), failCount));
  EXPECT_EQ(failCount.load(), 0);
  ASSERT_TRUE(device.Accept());
  ASSERT_EQ(client.Send("hi", 2), 2);
  EXPECT_EQ(device.RecvText(2), "hi");
}

TEST(ENetClient, FailedBindLeavesNoSocket) {
  Peer device(true);
  ASSERT_TRUE(device.Ok());
  ENetClient client(1500, 200);
  std::atomic<int> failCount{0};
  // 192.0.2.1 (TEST-NET-1) is no address of this machine.
  EXPECT_FALSE(client.Connect(kLoopback, device.Port(), failCount, inet_addr("192.0.2.1"), 0));
  EXPECT_EQ(client.GetState(), ENetClient::kNoSocket);
  EXPECT_EQ(client.GetSocket(), -1);
  EXPECT_EQ(failCount.load(), 5);
  EXPECT_TRUE(client.Connect(kLoopback, device.Port(), failCount, kLoopback, 0));
  EXPECT_EQ(failCount.load(), 0);
}

TEST_F(ConnectedClient, DrainDiscardsStaleBytes) {
  ASSERT_TRUE(peer.SendText(std::string(5000, 's')));
  // Wait until all of it is here.
  for (int i = 0; i < 500; ++i) {
    int pending = 0;
    ioctl(client.GetSocket(), FIONREAD, &pending);
    if (pending == 5000) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  client.Drain();
  ASSERT_TRUE(peer.SendText("fresh"));
  EXPECT_EQ(RecvText(client, 64), "fresh");
}

TEST_F(ConnectedClient, ReceiveTimeOutIsNotAnErrorOfTheLink) {
  LogCapture warnings(4);
  client.SetTimeouts(1500, 100);
  char buf[8];
  EXPECT_EQ(client.Recv(buf, sizeof buf), -1);
  const int error = errno;
  EXPECT_EQ(error, EAGAIN);
  client.OnSocketError(error, failCount);
  EXPECT_EQ(client.GetState(), ENetClient::kConnectTried);
  EXPECT_GE(client.GetSocket(), 0);
  EXPECT_EQ(failCount.load(), 0);
  EXPECT_TRUE(warnings.Texts().empty());
}

TEST_F(ConnectedClient, InterruptWakesABlockedReceive) {
  const Clock::time_point start = Clock::now();
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    client.Interrupt();
  });
  char buf[8];
  EXPECT_EQ(client.Recv(buf, sizeof buf), -1);  // no receive time-out set
  const int error = errno;
  stopper.join();
  EXPECT_EQ(error, ECANCELED);
  EXPECT_LT(MsSince(start), 30000);
  client.OnSocketError(error, failCount);
  EXPECT_EQ(client.GetState(), ENetClient::kConnectTried);
  ASSERT_TRUE(peer.SendText("ok"));
  EXPECT_EQ(RecvText(client, 8), "ok");
}

TEST_F(ConnectedClient, PeerResetClosesTheSocket) {
  peer.Reset();
  ASSERT_TRUE(WaitReadable(client.GetSocket()));
  char buf[8];
  EXPECT_EQ(client.Recv(buf, sizeof buf), -1);
  EXPECT_EQ(errno, ECONNRESET);
  client.OnSocketError(failCount);
  EXPECT_EQ(client.GetState(), ENetClient::kNoSocket);
  EXPECT_EQ(client.GetSocket(), -1);
  EXPECT_EQ(client.GetLastError(), ECONNRESET);
}

TEST_F(ConnectedClient, PeerCloseIsAZeroCountReceive) {
  peer.CloseConnection();
  char buf[8];
  EXPECT_EQ(client.Recv(buf, sizeof buf), 0);
}

TEST(ENetClient, SocketErrorTable) {
  const struct {
    int error;
    int32_t state;
    int failCount;
    bool logged;
  } cases[] = {
      {ECONNABORTED, ENetClient::kNoSocket, 2, false},
      {ECONNRESET, ENetClient::kNoSocket, 2, false},
      {ESHUTDOWN, ENetClient::kNoSocket, 2, false},
      {EPIPE, ENetClient::kNoSocket, 2, false},
      {ENOTCONN, ENetClient::kNotConnected, 5, false},
      {EAGAIN, ENetClient::kConnectTried, 2, false},
      {ETIMEDOUT, ENetClient::kConnectTried, 2, false},
      {ECANCELED, ENetClient::kConnectTried, 2, false},
      {EHOSTUNREACH, ENetClient::kConnectTried, 2, true},
      {EMSGSIZE, ENetClient::kConnectTried, 2, true},
  };
  Peer device(true);
  ASSERT_TRUE(device.Ok());
  for (const auto& c : cases) {
    ENetClient client(1500, 200);
    std::atomic<int> failCount{0};
    ASSERT_TRUE(client.Connect(kLoopback, device.Port(), failCount));
    ASSERT_TRUE(device.Accept());
    failCount = 2;
    LogCapture warnings(4);
    client.OnSocketError(c.error, failCount);
    EXPECT_EQ(client.GetState(), c.state) << c.error;
    EXPECT_EQ(client.GetSocket() >= 0, c.state != ENetClient::kNoSocket) << c.error;
    EXPECT_EQ(failCount.load(), c.failCount) << c.error;
    EXPECT_EQ(client.GetLastError(), c.error);
    EXPECT_TRUE(client.ErrorChanged());
    const std::vector<std::string> expected =
        c.logged ? std::vector<std::string>{"错误代码:" + std::to_string(c.error)} : std::vector<std::string>{};
    EXPECT_EQ(warnings.Texts(), expected) << c.error;
  }
}

TEST(ENetClient, RepeatedErrorIsLoggedOnce) {
  ENetClient client;
  std::atomic<int> failCount{0};
  LogCapture warnings(4);
  const struct {
    int error;
    bool changed;
  } steps[] = {
      {EHOSTUNREACH, true}, {EHOSTUNREACH, false}, {EHOSTUNREACH, false}, {ENETDOWN, true},
      {EHOSTUNREACH, true}, {ETIMEDOUT, true},     {EHOSTUNREACH, true},  {EHOSTUNREACH, false},
  };
  for (const auto& s : steps) {
    client.OnSocketError(s.error, failCount);
    EXPECT_EQ(client.ErrorChanged(), s.changed) << s.error;
  }
  const std::string unreachable = "错误代码:" + std::to_string(EHOSTUNREACH);
  const std::vector<std::string> expected = {unreachable, "错误代码:" + std::to_string(ENETDOWN), unreachable,
                                             unreachable};
  EXPECT_EQ(warnings.Texts(), expected);
}

TEST(ENetClient, OnSocketErrorReadsErrno) {
  ENetClient client;
  std::atomic<int> failCount{0};
  errno = ENOTCONN;
  client.OnSocketError(failCount);
  EXPECT_EQ(client.GetLastError(), ENOTCONN);
  EXPECT_EQ(failCount.load(), 5);
}

TEST(ENetClient, CloseReturnsAtOnceWithUnsentData) {
  Peer device(true);
  ASSERT_TRUE(device.Ok());
  ENetClient client(100, 0);
  std::atomic<int> failCount{0};
  ASSERT_TRUE(client.Connect(kLoopback, device.Port(), failCount));
  ASSERT_TRUE(device.Accept());
  // The device reads nothing: the send buffers fill up.
  const std::string chunk(1 << 16, 'x');
  for (int i = 0; i < 1000 && client.Send(chunk.data(), chunk.size()) > 0; ++i) {
  }
  const Clock::time_point start = Clock::now();
  client.Close();
  EXPECT_LT(MsSince(start), 1000);
  EXPECT_EQ(client.GetState(), ENetClient::kNoSocket);
  EXPECT_EQ(client.GetSocket(), -1);
}
