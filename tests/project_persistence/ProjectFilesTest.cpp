// The channels, data-block and alarm configuration files of one small
// project together: the live objects a load creates, the files written back
// byte for byte, the same files from a project built through the database's
// own operations, and saves that fail.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <any>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ProjectFilesFixture.h"
#include "alarm/AlarmSegCvb.h"
#include "comm_server/SerialParams.h"
#include "project_persistence/AlarmConfigFile.h"
#include "project_persistence/ChannelsFile.h"
#include "project_persistence/DataBlockFile.h"
#include "support/WriteBlockers.h"
#include "termination/DevDefine.h"
#include "termination/DevSetup.h"

namespace NsOvrin::Testing {
namespace {

using NsAlarm::AlarmSegCvb;
using NsDevDefine::ENetDevParam;
using NsDevDefine::RsDevParam;
using NsTermination::Channel;
using NsTermination::ChannelEthernet;
using NsTermination::ChannelSerialPort;

constexpr const char* kSmall = "project_small";
constexpr const char* kSmallExpected = "project_small_expected";
const std::vector<std::string> kFiles = {"com_chns", "acq_db", "alarm_config"};

class SmallProjectFiles : public ProjectFilesFixture {
 protected:
  static void LoadSmallProject() {
    ASSERT_TRUE(ReadChannelsFile(Data(kSmall, "com_chns")));
    ASSERT_TRUE(ReadDataBlocksFile(Data(kSmall, "acq_db")));
    ASSERT_TRUE(ReadAlarmConfigFile(Data(kSmall, "alarm_config")));
  }

  void WriteAllAndCompare() {
    ASSERT_TRUE(WriteChannelsFile(temp_ / "com_chns"));
    ASSERT_TRUE(WriteDataBlocksFile(temp_ / "acq_db"));
    ASSERT_TRUE(WriteAlarmConfigFile(temp_ / "alarm_config"));
    for (const std::string& file : kFiles) ExpectSameFile(temp_ / file, Data(kSmallExpected, file));
  }

  static void AddBlock(const std::string& node, const std::string& text, const std::string& name,
                       uint16_t interval, bool enable) {
    const auto found = FindNode(node);
    ASSERT_NE(found, nullptr) << node;
    NsTermination::BlockDescriptor block;
    ASSERT_EQ(found->GetNodeMem()->ParseAddress(text, block.addr), NsTermination::kAddrOk) << text;
    block.interval = interval;
    ASSERT_TRUE(found->AddReadTask(block, name, enable));
  }

  static void AddGroup(const std::string& address, const std::vector<std::string>& messages) {
    auto segment = std::make_shared<AlarmSegCvb>();
    segment->BindAddress(address);
    segment->SetMessages(messages);
    Alarms().AddSeg(segment);
  }
};

TEST_F(SmallProjectFiles, LoadBuildsChannelsAndDevices) {
  LoadSmallProject();

  const auto& channels = Db().GetChannels();
  ASSERT_EQ(channels.size(), 4u);
  const struct {
    uint32_t type;
    const char* name;
    const char* description;
    std::vector<std::string> nodes;
  } kChannels[] = {
      {Channel::kTypeSerial, "S1", "串口1", {"PLC1", "FX1"}},
      {Channel::kTypeEthernet, "E0", "网口1", {"TCP1", "H3U1"}},
      {Channel::kTypeEthernet, "E1", "网口2", {}},
      {Channel::kTypeSerial, "S2", "串口\"2\"\\备用", {}},
  };
  for (std::size_t i = 0; i < channels.size(); ++i) {
    SCOPED_TRACE(kChannels[i].name);
    EXPECT_EQ(channels[i]->GetType(), kChannels[i].type);
    EXPECT_EQ(channels[i]->GetName(), kChannels[i].name);
    EXPECT_EQ(channels[i]->GetDescription(), kChannels[i].description);
    std::vector<std::string> names;
    for (const auto& node : channels[i]->GetNodeList()) names.push_back(node->GetName());
    EXPECT_EQ(names, kChannels[i].nodes);
  }

  // The serial parameter text of each serial channel.
  const auto* s1 = dynamic_cast<const ChannelSerialPort*>(channels[0].get());
  const auto* s2 = dynamic_cast<const ChannelSerialPort*>(channels[3].get());
  ASSERT_NE(s1, nullptr);
  ASSERT_NE(s2, nullptr);
  EXPECT_EQ(s1->GetSettings().port, 3u);
  EXPECT_EQ(s1->GetSettings().baud, NsCommServer::kBaud19200);
  EXPECT_EQ(s1->GetSettings().parity, NsCommServer::kParityNone);
  EXPECT_EQ(s1->GetSettings().dataBits, NsCommServer::kDataBits8);
  EXPECT_EQ(s1->GetSettings().stopBits, NsCommServer::kStopBits1);
  EXPECT_EQ(s2->GetSettings().port, 12u);
  EXPECT_EQ(s2->GetSettings().baud, NsCommServer::kBaud115200);
  EXPECT_EQ(s2->GetSettings().parity, NsCommServer::kParityOdd);
  EXPECT_EQ(s2->GetSettings().dataBits, NsCommServer::kDataBits7);
  EXPECT_EQ(s2->GetSettings().stopBits, NsCommServer::kStopBits2);

  // Serial devices share their channel's transport; each keeps its record.
  const auto plc1 = FindNode("PLC1");
  const auto fx1 = FindNode("FX1");
  ASSERT_NE(plc1, nullptr);
  ASSERT_NE(fx1, nullptr);
  EXPECT_EQ(plc1->GetDeviceImpl(), s1->GetDeviceImpl());
  EXPECT_EQ(fx1->GetDeviceImpl(), s1->GetDeviceImpl());
  const auto* plcParam = std::any_cast<RsDevParam>(&plc1->GetDeviceParams());
  ASSERT_NE(plcParam, nullptr);
  EXPECT_EQ(plcParam->deviceId, NsTermination::kModelModbusRtu);
  EXPECT_EQ(plcParam->stationNo, 3);
  EXPECT_EQ(plcParam->resendTimes, 4);
  const auto* fxParam = std::any_cast<RsDevParam>(&fx1->GetDeviceParams());
  ASSERT_NE(fxParam, nullptr);
  EXPECT_EQ(fxParam->deviceId, NsTermination::kModelMitsFx);

  // Ethernet devices own a transport each.
  const auto tcp1 = FindNode("TCP1");
  const auto h3u1 = FindNode("H3U1");
  ASSERT_NE(tcp1, nullptr);
  ASSERT_NE(h3u1, nullptr);
  EXPECT_NE(tcp1->GetDeviceImpl(), nullptr);
  EXPECT_NE(tcp1->GetDeviceImpl(), h3u1->GetDeviceImpl());
  const auto* tcpParam = std::any_cast<ENetDevParam>(&tcp1->GetDeviceParams());
  ASSERT_NE(tcpParam, nullptr);
  EXPECT_EQ(tcpParam->deviceId, NsTermination::kModelModbusTcp);
  EXPECT_EQ(tcpParam->stationNo, 255);
  EXPECT_EQ(tcpParam->resendTimes, 0);
  EXPECT_EQ(tcpParam->ipAddr, inet_addr("192.168.1.10"));
  EXPECT_EQ(tcpParam->port, 502u);
  EXPECT_EQ(tcpParam->connTimeout, 3000u);
  EXPECT_EQ(tcpParam->recvTimeout, 1500u);
  const auto* h3uParam = std::any_cast<ENetDevParam>(&h3u1->GetDeviceParams());
  ASSERT_NE(h3uParam, nullptr);
  EXPECT_EQ(h3uParam->deviceId, NsTermination::kModelH5u);

  // Loading opens nothing and starts no polling thread.
  EXPECT_FALSE(Db().IsRunning());
  for (const auto& node : {plc1, fx1, tcp1, h3u1}) EXPECT_FALSE(node->GetWorkerCtrl().IsAlive());
}

TEST_F(SmallProjectFiles, LoadGivesTheDevicesTheirReadTasks) {
  LoadSmallProject();

  const struct {
    const char* node;
    const char* task;
    const char* address;  // as the node formats it
    uint32_t interval;
    bool enabled;
  } kTasks[] = {
      {"PLC1", "hold", "4x[00000~00009]", 100, true},
      {"PLC1", "coils", "0x[00000~00015]", 500, false},
      {"FX1", "D区", "D[0~31]", 1000, true},
      {"FX1", "X", "X[0~17]", 200, true},
      {"H3U1", "m", "M[0~127]", 65535, true},
  };
  for (const auto& c : kTasks) {
    SCOPED_TRACE(c.task);
    const auto task = FindTask(c.node, c.task);
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(FindNode(c.node)->FormatAddress(task->GetAddr()), c.address);
    EXPECT_EQ(task->GetInterval(), c.interval);
    EXPECT_EQ(task->IsEnabled(), c.enabled);
    ASSERT_NE(task->GetCacheBlock(), nullptr);
    EXPECT_EQ(task->GetCacheBlock()->GetName(), c.task);
  }
  EXPECT_EQ(FindNode("PLC1")->GetTasks().size(), 2u);
  EXPECT_EQ(FindNode("FX1")->GetTasks().size(), 2u);
  EXPECT_TRUE(FindNode("TCP1")->GetTasks().empty());
  EXPECT_EQ(FindNode("H3U1")->GetTasks().size(), 1u);
}

TEST_F(SmallProjectFiles, LoadBindsTheAlarmGroups) {
  LoadSmallProject();

  EXPECT_EQ(HistoryCapacity(), 200u);
  ASSERT_EQ(Alarms().GetSegments().size(), 3u);
  const auto coils = FindTask("PLC1", "coils");
  const auto words = FindTask("FX1", "D区");
  ASSERT_NE(coils, nullptr);
  ASSERT_NE(words, nullptr);

  // Two bits from coil 3: the coil block, bit 3 of it.
  const auto bits = Segment(0);
  ASSERT_NE(bits, nullptr);
  EXPECT_TRUE(bits->IsBound());
  EXPECT_EQ(bits->GetTask(), coils);
  EXPECT_EQ(bits->GetAddress(), "PLC1.0x00003");
  EXPECT_EQ(bits->GetRangeText(), "0x[00003~00004]");
  EXPECT_EQ(bits->GetOffset(), 3);
  ASSERT_EQ(bits->GetCount(), 2u);
  EXPECT_EQ(bits->GetBitMessage(0), "电机过热");
  EXPECT_EQ(bits->GetBitMessage(1), "门开\"A\"");

  // Three bits of one word: D10 is byte 20 of the D block.
  const auto word = Segment(1);
  ASSERT_NE(word, nullptr);
  EXPECT_TRUE(word->IsBound());
  EXPECT_EQ(word->GetTask(), words);
  EXPECT_EQ(word->GetAddress(), "FX1.D10");
  EXPECT_EQ(word->GetRangeText(), "D10");
  EXPECT_EQ(word->GetOffset(), 20);
  EXPECT_EQ(word->GetCount(), 3u);

  // No such device: kept, unbound, address as entered.
  const auto unbound = Segment(2);
  ASSERT_NE(unbound, nullptr);
  EXPECT_FALSE(unbound->IsBound());
  EXPECT_EQ(unbound->GetAddress(), "NoSuch.D1");
  EXPECT_EQ(unbound->GetRangeText(), "");
  EXPECT_EQ(unbound->GetBitMessage(0), "x");

  // One subscription per bound group, none left over from the first binding.
  EXPECT_EQ(coils->GetSubscriberCount(), 1u);
  EXPECT_EQ(words->GetSubscriberCount(), 1u);
  EXPECT_EQ(FindTask("PLC1", "hold")->GetSubscriberCount(), 0u);
}

TEST_F(SmallProjectFiles, LoadedFilesAreWrittenBackInCanonicalCompactForm) {
  LoadSmallProject();
  WriteAllAndCompare();
}

TEST_F(SmallProjectFiles, ProjectBuiltInTheDatabaseIsWrittenExactly) {
  auto s1 = std::make_shared<ChannelSerialPort>("S1", "com:3;param:19200,n,8,1;");
  s1->SetDescription("串口1");
  ASSERT_TRUE(Db().AddChannel(s1));
  RsDevParam plc1;
  plc1.name = "PLC1";
  plc1.deviceId = NsTermination::kModelModbusRtu;
  plc1.stationNo = 3;
  plc1.resendTimes = 4;
  ASSERT_TRUE(NsTermination::AddRsDev(s1->GetHandle(), plc1));
  RsDevParam fx1;
  fx1.name = "FX1";
  fx1.deviceId = NsTermination::kModelMitsFx;
  ASSERT_TRUE(NsTermination::AddRsDev(s1->GetHandle(), fx1));

  auto e0 = std::make_shared<ChannelEthernet>("E0");
  e0->SetDescription("网口1");
  ASSERT_TRUE(Db().AddChannel(e0));
  ENetDevParam tcp1;
  tcp1.name = "TCP1";
  tcp1.deviceId = NsTermination::kModelModbusTcp;
  tcp1.stationNo = 255;
  tcp1.resendTimes = 0;
  tcp1.ipAddr = inet_addr("192.168.1.10");
  tcp1.port = 502;
  tcp1.connTimeout = 3000;
  tcp1.recvTimeout = 1500;
  ASSERT_TRUE(NsTermination::AddENetDev(e0->GetHandle(), tcp1));
  ENetDevParam h3u1;
  h3u1.name = "H3U1";
  h3u1.deviceId = NsTermination::kModelH5u;
  h3u1.ipAddr = inet_addr("10.0.0.2");
  h3u1.port = 1502;
  ASSERT_TRUE(NsTermination::AddENetDev(e0->GetHandle(), h3u1));

  auto e1 = std::make_shared<ChannelEthernet>("E1");
  e1->SetDescription("网口2");
  ASSERT_TRUE(Db().AddChannel(e1));
  NsCommServer::SerialParams settings;
  settings.port = 12;
  settings.baud = NsCommServer::kBaud115200;
  settings.parity = NsCommServer::kParityOdd;
  settings.stopBits = NsCommServer::kStopBits2;
  auto s2 = std::make_shared<ChannelSerialPort>("S2", settings);
  s2->SetDescription("串口\"2\"\\备用");
  ASSERT_TRUE(Db().AddChannel(s2));

  AddBlock("PLC1", "4x[0~9]", "hold", 100, true);
  AddBlock("PLC1", "0x[0~15]", "coils", 500, false);
  AddBlock("FX1", "D[0~31]", "D区", 1000, true);
  AddBlock("FX1", "X[0~17]", "X", 200, true);
  AddBlock("H3U1", "M[0~127]", "m", 65535, true);

  Alarms().SetMaxHistCount(200);
  AddGroup("PLC1.0x3", {"电机过热", "门开\"A\""});
  AddGroup("FX1.D10", {"a", "", "c"});
  AddGroup("NoSuch.D1", {"x"});

  WriteAllAndCompare();
}

TEST_F(SmallProjectFiles, WriteThenReadGivesTheSameProject) {
  LoadSmallProject();
  WriteAllAndCompare();
  ResetRuntime();

  ASSERT_TRUE(ReadChannelsFile(temp_ / "com_chns"));
  ASSERT_TRUE(ReadDataBlocksFile(temp_ / "acq_db"));
  ASSERT_TRUE(ReadAlarmConfigFile(temp_ / "alarm_config"));
  EXPECT_EQ(Db().GetChannels().size(), 4u);
  EXPECT_EQ(Db().GetAllNodes().size(), 4u);
  EXPECT_EQ(Alarms().GetSegments().size(), 3u);

  TempFolder again;
  ASSERT_TRUE(WriteChannelsFile(again / "com_chns"));
  ASSERT_TRUE(WriteDataBlocksFile(again / "acq_db"));
  ASSERT_TRUE(WriteAlarmConfigFile(again / "alarm_config"));
  for (const std::string& file : kFiles) ExpectSameFile(again / file, Data(kSmallExpected, file));
}

// What the writers of an empty project write.
TEST_F(SmallProjectFiles, EmptyProjectIsWrittenWithEmptyLists) {
  Alarms().SetMaxHistCount(100);
  ASSERT_TRUE(WriteChannelsFile(temp_ / "com_chns"));
  ASSERT_TRUE(WriteDataBlocksFile(temp_ / "acq_db"));
  ASSERT_TRUE(WriteAlarmConfigFile(temp_ / "alarm_config"));
  EXPECT_EQ(ReadFileText(temp_ / "com_chns"), R"({"channels":[]})");
  EXPECT_EQ(ReadFileText(temp_ / "acq_db"), R"({"nodes":[]})");
  EXPECT_EQ(ReadFileText(temp_ / "alarm_config"),
            R"({"max-number-of-alarm-hist":100,"alarm-list":[]})");
}

struct WriterCase {
  const char* file;
  std::function<bool(const std::string&)> write;
};

const WriterCase kWriters[] = {
    {"com_chns", WriteChannelsFile},
    {"acq_db", WriteDataBlocksFile},
    {"alarm_config", WriteAlarmConfigFile},
};

TEST_F(SmallProjectFiles, WritersRefuseAnEmptyPathOrAMissingFolder) {
  LoadSmallProject();
  for (const WriterCase& c : kWriters) {
    SCOPED_TRACE(c.file);
    EXPECT_FALSE(c.write(""));
    EXPECT_FALSE(c.write(temp_ / "missing/" + c.file));
    EXPECT_FALSE(Exists(temp_ / "missing"));
  }
}

// A write that fails part way (the file size limit stands in for a full
// disk) reports failure and leaves the previous file whole.
TEST_F(SmallProjectFiles, FailedWriteKeepsTheOldFile) {
  LoadSmallProject();
  const std::string old = "previous contents of the file";
  for (const WriterCase& c : kWriters) WriteFileText(temp_ / c.file, old);

  bool results[3] = {};
  {
    const FileSizeLimit limit(8);
    ASSERT_TRUE(limit.Active());
    for (std::size_t i = 0; i < 3; ++i) results[i] = kWriters[i].write(temp_ / kWriters[i].file);
  }

  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(kWriters[i].file);
    EXPECT_FALSE(results[i]);
    EXPECT_EQ(ReadFileText(temp_ / kWriters[i].file), old);
  }
  // Nothing but the three old files is left in the folder.
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(temp_.Path()))
    ++entries;
  EXPECT_EQ(entries, 3u);
}

}  // namespace
}  // namespace NsOvrin::Testing
