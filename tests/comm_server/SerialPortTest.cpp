#include "comm_server/SerialPort.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>

#include "CommTestUtil.h"

using namespace NsOvrin::NsCommServer;
using namespace NsOvrin::NsCommServerTest;

TEST(SerialPortNames, FixedRuleBothWays) {
  const struct {
    uint32_t port;
    const char* path;
  } cases[] = {
      {1, "/dev/ttyS0"},     {2, "/dev/ttyS1"},      {32, "/dev/ttyS31"},   {33, "/dev/ttyUSB0"},
      {40, "/dev/ttyUSB7"},  {64, "/dev/ttyUSB31"},  {65, "/dev/ttyACM0"},  {70, "/dev/ttyACM5"},
      {300, "/dev/ttyACM235"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetDefaultSerialDevicePath(c.port), c.path);
    EXPECT_EQ(GetDefaultSerialPortNumber(std::string(c.path).substr(5)), c.port) << c.path;
  }
  EXPECT_EQ(GetDefaultSerialDevicePath(0), "");
  EXPECT_EQ(GetDefaultSerialDevicePath(3, "/tmp/fake"), "/tmp/fake/ttyS2");

  for (const char* name : {"ttyS32", "ttyUSB32", "tty0", "ttyS", "ttySx", "ttyS1a", "ttyAMA0", "pts",
                           "ttyusb0", "ttyACM99999999999", ""})
    EXPECT_EQ(GetDefaultSerialPortNumber(name), 0u) << name;
}

TEST(SerialPortNames, IniOverrideComesFirst) {
  TempDir dir;
  const std::string ini = dir.Write("default_config_.ini",
                                    "[default_app_]\nCOM3=/wrong\n"
                                    "[serial_ports]\nCOM3=/dev/pts/7\ncom40 = /dev/serial/by-id/plc\n"
                                    "COM5=\n");
  EXPECT_EQ(GetSerialDevicePath(3, ini), "/dev/pts/7");
  EXPECT_EQ(GetSerialDevicePath(40, ini), "/dev/serial/by-id/plc");
  EXPECT_EQ(GetSerialDevicePath(4, ini), "/dev/ttyS3");
  EXPECT_EQ(GetSerialDevicePath(5, ini), "/dev/ttyS4");  // an empty value is no override
  EXPECT_EQ(GetSerialDevicePath(0, ini), "");
  EXPECT_EQ(GetSerialDevicePath(3, dir.Path() + "/missing.ini"), "/dev/ttyS2");
}

TEST(SerialPortTermios, SettingsMapToTheLine) {
  const struct {
    SerialParams s;
    speed_t speed;
    tcflag_t size, parityBits;
    bool twoStop;
  } cases[] = {
      {{1, kBaud9600, kParityEven, kDataBits7, kStopBits1}, B9600, CS7, PARENB, false},
      {{1, kBaud4800, kParityOdd, kDataBits5, kStopBits2}, B4800, CS5, PARENB | PARODD, true},
      {{1, kBaud19200, kParityNone, kDataBits8, kStopBits1}, B19200, CS8, 0, false},
      {{1, kBaud38400, kParityMark, kDataBits6, kStopBits2}, B38400, CS6, PARENB | PARODD | CMSPAR, true},
      {{1, kBaud115200, kParitySpace, kDataBits8, kStopBits1}, B115200, CS8, PARENB | CMSPAR, false},
  };
  for (const auto& c : cases) {
    termios tio{};
    // Start from a cooked line with everything the port must not keep.
    tio.c_lflag = ICANON | ECHO | ISIG;
    tio.c_iflag = IXON | IXOFF | ICRNL | INPCK;
    tio.c_oflag = OPOST;
    tio.c_cflag = CRTSCTS | PARENB | PARODD | CMSPAR | CSTOPB | CS8;
    ASSERT_TRUE(BuildSerialTermios(c.s, tio)) << FormatSerialParamText(c.s);
    const std::string what = FormatSerialParamText(c.s);
    EXPECT_EQ(cfgetispeed(&tio), c.speed) << what;
    EXPECT_EQ(cfgetospeed(&tio), c.speed) << what;
    EXPECT_EQ(tio.c_cflag & CSIZE, c.size) << what;
    EXPECT_EQ(tio.c_cflag & (PARENB | PARODD | CMSPAR), c.parityBits) << what;
    EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, c.twoStop) << what;
    EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u) << what;
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD)) << what;
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | INPCK), 0u) << what;
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u) << what;
    EXPECT_EQ(tio.c_oflag & OPOST, 0u) << what;
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
  }
  for (SerialParams bad : {SerialParams{1, 0x1, kParityEven, kDataBits7, kStopBits1},
                           SerialParams{1, kBaud9600, 0x3, kDataBits7, kStopBits1},
                           SerialParams{1, kBaud9600, kParityEven, 0x10, kStopBits1},
                           SerialParams{1, kBaud9600, kParityEven, kDataBits7, 0x2}}) {
    termios tio{};
    EXPECT_FALSE(BuildSerialTermios(bad, tio));
  }
}

TEST(SerialPortOpen, OpensExclusiveRawAndConfigured) {
  PtyPair pty;
  ASSERT_TRUE(pty.Ok());
  const SerialParams s{1, kBaud19200, kParityNone, kDataBits8, kStopBits1};
  const int fd = OpenSerialPort(s, pty.SlavePath());
  ASSERT_NE(fd, kInvalidSerialHandle);
  termios tio{};
  ASSERT_EQ(tcgetattr(fd, &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), speed_t(B19200));
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u);
  EXPECT_NE(fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);

  // No sharing: a second opener is refused while the port is held.
  EXPECT_EQ(OpenSerialPort(s, pty.SlavePath()), kInvalidSerialHandle);
  CloseSerialPort(fd);
  const int again = OpenSerialPort(s, pty.SlavePath());
  EXPECT_NE(again, kInvalidSerialHandle);
  CloseSerialPort(again);
}

TEST(SerialPortOpen, FailsOnWhatIsNoUsablePort) {
  TempDir dir;
  const std::string file = dir.Write("not-a-tty", "x");
  PtyPair pty;
  ASSERT_TRUE(pty.Ok());
  SerialParams badFlags;
  badFlags.baud = 0x1;
  EXPECT_EQ(OpenSerialPort(SerialParams{}, dir.Path() + "/missing"), kInvalidSerialHandle);
  EXPECT_EQ(OpenSerialPort(SerialParams{}, file), kInvalidSerialHandle);
  EXPECT_EQ(OpenSerialPort(badFlags, pty.SlavePath()), kInvalidSerialHandle);
  // The failed attempt let go of the port.
  const int fd = OpenSerialPort(SerialParams{}, pty.SlavePath());
  EXPECT_NE(fd, kInvalidSerialHandle);
  CloseSerialPort(fd);
}

TEST(SerialPortList, ListsOpenableDevicesOncePerNumber) {
  PtyPair a, b, c;
  ASSERT_TRUE(a.Ok() && b.Ok() && c.Ok());
  TempDir root;
  const std::string sys = root.Path() + "/sys", dev = root.Path() + "/dev";
  std::filesystem::create_directories(sys);
  std::filesystem::create_directories(dev);
  auto addTty = [&](const std::string& name, bool hasDevice, const std::string& node) {
    std::filesystem::create_directories(sys + "/" + name);
    if (hasDevice) std::filesystem::create_directory_symlink("/", sys + "/" + name + "/device");
    if (!node.empty()) std::filesystem::create_symlink(node, dev + "/" + name);
  };
  addTty("ttyUSB0", true, a.SlavePath());   // COM33 by the rule
  addTty("ttyS4", true, b.SlavePath());     // COM5, moved to another device by the INI
  addTty("ttyACM1", true, c.SlavePath());   // COM66 by the rule, named COM9 by the INI
  addTty("ttyS2", true, "");                // no device node
  addTty("tty0", false, a.SlavePath());     // not a serial device
  addTty("ttyS9", true, root.Path() + "/nothing");
  const std::string ini = root.Write("default_config_.ini", "[serial_ports]\nCOM5=" + root.Path() +
                                                                "/elsewhere\nCOM9=" + c.SlavePath() + "\n");

  std::vector<SerialPortInfo> ports = EnumerateSerialPorts(sys, dev, ini);
  std::vector<std::pair<uint32_t, std::string>> got;
  for (const auto& p : ports) got.emplace_back(p.port, p.friendlyName);
  const std::vector<std::pair<uint32_t, std::string>> expected = {{9, "ttyACM1 (COM9)"},
                                                                  {33, "ttyUSB0 (COM33)"}};
  EXPECT_EQ(got, expected);

  // A port held by an opener is in use and left out.
  const int held = OpenSerialPort(SerialParams{}, c.SlavePath());
  ASSERT_NE(held, kInvalidSerialHandle);
  ports = EnumerateSerialPorts(sys, dev, ini);
  EXPECT_TRUE(std::none_of(ports.begin(), ports.end(), [](const SerialPortInfo& p) { return p.port == 9; }));
  CloseSerialPort(held);

  EXPECT_TRUE(EnumerateSerialPorts(root.Path() + "/no-sys", dev, ini).empty());
}

TEST(SerialPortList, OneEntryPerNumberForTwoNamesOfOneNumber) {
  // Two device names that reach the same number list it once.
  PtyPair a;
  ASSERT_TRUE(a.Ok());
  TempDir root;
  const std::string sys = root.Path() + "/sys", dev = root.Path() + "/dev";
  for (const char* name : {"ttyS0", "ttyS0-alias"}) {
    std::filesystem::create_directories(sys + "/" + name);
    std::filesystem::create_directory_symlink("/", sys + "/" + name + "/device");
  }
  std::filesystem::create_directories(dev);
  std::filesystem::create_symlink(a.SlavePath(), dev + "/ttyS0");
  std::filesystem::create_symlink(a.SlavePath(), dev + "/ttyS0-alias");
  const std::string ini = root.Write("default_config_.ini", "[serial_ports]\nCOM1=" + a.SlavePath() + "\n");
  const std::vector<SerialPortInfo> ports = EnumerateSerialPorts(sys, dev, ini);
  ASSERT_EQ(ports.size(), 1u);
  EXPECT_EQ(ports[0].port, 1u);
}

TEST(SerialPortList, MachineListHasUniqueNumbers) {
  std::set<uint32_t> seen;
  for (const SerialPortInfo& p : EnumerateSerialPorts()) {
    EXPECT_TRUE(seen.insert(p.port).second) << p.friendlyName;
    EXPECT_NE(p.friendlyName.find("(COM" + std::to_string(p.port) + ")"), std::string::npos);
  }
}
