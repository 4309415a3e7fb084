// The channels file: every fallback of a channel and a device, the devices
// that are refused, and the rules that fail or end a read.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <any>
#include <string>
#include <vector>

#include "ProjectFilesFixture.h"
#include "comm_server/SerialParams.h"
#include "project_persistence/ChannelsFile.h"
#include "termination/DevDefine.h"

namespace NsOvrin::Testing {
namespace {

using NsDevDefine::ENetDevParam;
using NsDevDefine::RsDevParam;

class ChannelsFile : public ProjectFilesFixture {
 protected:
  // The channels' names in database order.
  static std::vector<std::string> ChannelNames() {
    std::vector<std::string> names;
    for (const auto& channel : Db().GetChannels()) names.push_back(channel->GetName());
    return names;
  }

  static std::vector<std::string> NodeNames() {
    std::vector<std::string> names;
    for (const auto& handle : Db().GetAllNodes())
      if (const auto node = handle.Lock()) names.push_back(node->GetName());
    return names;
  }

  // Reads the text as the channels file; what it left unread goes to
  // unreadChannels_ and unreadDevices_.
  bool ReadText(const std::string& text) {
    WriteFileText(temp_ / "com_chns", text);
    unreadChannels_.clear();
    unreadDevices_.clear();
    return ReadChannelsFile(temp_ / "com_chns", &unreadChannels_, &unreadDevices_);
  }

  std::vector<std::string> unreadChannels_;
  std::vector<std::string> unreadDevices_;
};

TEST_F(ChannelsFile, MissingAndMistypedMembersKeepTheirDefaults) {
  ASSERT_TRUE(ReadChannelsFile(Data("fallbacks", "com_chns"), &unreadChannels_, &unreadDevices_));

  // The channel without "nodes" is added and ends the reading.
  EXPECT_EQ(ChannelNames(), (std::vector<std::string>{"", "E", "S9"}));
  const auto& channels = Db().GetChannels();
  EXPECT_EQ(channels[0]->GetDescription(), "");
  EXPECT_EQ(channels[1]->GetDescription(), "");
  EXPECT_EQ(channels[2]->GetDescription(), "无节点");
  const auto* serial = dynamic_cast<const NsTermination::ChannelSerialPort*>(channels[0].get());
  ASSERT_NE(serial, nullptr);
  const NsCommServer::SerialParams defaults;
  EXPECT_EQ(serial->GetSettings().port, defaults.port);
  EXPECT_EQ(serial->GetSettings().baud, defaults.baud);
  EXPECT_EQ(serial->GetSettings().parity, defaults.parity);
  EXPECT_EQ(serial->GetSettings().dataBits, defaults.dataBits);
  EXPECT_EQ(serial->GetSettings().stopBits, defaults.stopBits);

  // Refused: an empty or mistyped name, no or an unknown model, a model of
  // the other kind of channel or without a node, a name in use on this or
  // another channel, an entry that is not an object.
  EXPECT_EQ(NodeNames(), (std::vector<std::string>{"R1", "R2", "R3", "R4", "R5", "T1", "T2", "T3"}));
  // Each refused device is named by its channel (by position where the
  // channel has no name), its place there and its name as the file has it;
  // the channel after the one without "nodes" is named as not read.
  EXPECT_EQ(unreadDevices_, (std::vector<std::string>{
                                "第1个通道的第6个设备", "第1个通道的第7个设备(X1)",
                                "第1个通道的第8个设备(X2)", "第1个通道的第9个设备(X3)",
                                "第1个通道的第10个设备(X4)", "第1个通道的第11个设备(X5)",
                                "第1个通道的第12个设备(X6)", "第1个通道的第13个设备(R1)",
                                "第1个通道的第14个设备", "E的第4个设备(X7)", "E的第5个设备(X8)",
                                "E的第6个设备(R2)"}));
  EXPECT_EQ(unreadChannels_, std::vector<std::string>{"never"});

  const struct {
    const char* name;
    uint32_t deviceId;
    uint8_t station;
    uint16_t resend;
  } kSerial[] = {
      {"R1", NsTermination::kModelModbusRtu, 1, 2},    // both missing
      {"R2", NsTermination::kModelModbusRtu, 1, 2},    // -1 and a string
      {"R3", NsTermination::kModelModbusRtu, 44, 4464},  // 300 and 70000: low bits
      {"R4", NsTermination::kModelMitsFx, 1, 2},       // 2.0 and true
      {"R5", NsTermination::kModelModbusRtu, 255, 2},  // 4294967295, and 2^32 fails the test
  };
  for (const auto& c : kSerial) {
    SCOPED_TRACE(c.name);
    const auto node = FindNode(c.name);
    ASSERT_NE(node, nullptr);
    const auto* param = std::any_cast<RsDevParam>(&node->GetDeviceParams());
    ASSERT_NE(param, nullptr);
    EXPECT_EQ(param->name, c.name);
    EXPECT_EQ(param->deviceId, c.deviceId);
    EXPECT_EQ(param->stationNo, c.station);
    EXPECT_EQ(param->resendTimes, c.resend);
  }

  const struct {
    const char* name;
    uint8_t station;
    uint16_t resend;
    uint32_t ip;
    uint32_t port;
    uint32_t connTimeout;
    uint32_t recvTimeout;
  } kEthernet[] = {
      {"T1", 1, 2, inet_addr("10.0.0.1"), 502, 6000, 2000},  // time-outs missing
      {"T2", 17, 1, 0, 0, 6000, 2000},                       // bad address, -1, "5", 1.5
      {"T3", 1, 2, 0, 4294967295u, 0, 4294967295u},          // a number as address
  };
  for (const auto& c : kEthernet) {
    SCOPED_TRACE(c.name);
    const auto node = FindNode(c.name);
    ASSERT_NE(node, nullptr);
    const auto* param = std::any_cast<ENetDevParam>(&node->GetDeviceParams());
    ASSERT_NE(param, nullptr);
    EXPECT_EQ(param->stationNo, c.station);
    EXPECT_EQ(param->resendTimes, c.resend);
    EXPECT_EQ(param->ipAddr, c.ip);
    EXPECT_EQ(param->port, c.port);
    EXPECT_EQ(param->connTimeout, c.connTimeout);
    EXPECT_EQ(param->recvTimeout, c.recvTimeout);
  }

  ASSERT_TRUE(WriteChannelsFile(temp_ / "com_chns"));
  ExpectSameFile(temp_ / "com_chns", Data("fallbacks_expected", "com_chns"));
}

TEST_F(ChannelsFile, FilesThatFailTheRead) {
  EXPECT_FALSE(ReadChannelsFile(""));
  EXPECT_FALSE(ReadChannelsFile(temp_ / "com_chns"));  // missing
  EXPECT_FALSE(ReadChannelsFile(temp_.Path()));        // a folder
  const char* kBroken[] = {
      "",
      "{",
      R"({"channels":[]} {})",
      R"({"channels":[],})",
      R"([{"channels":[]}])",
      R"("channels")",
      "{}",
      R"({"channels":{}})",
      R"({"channels":"sr"})",
      R"({"Channels":[]})",
  };
  for (const char* text : kBroken) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(ReadText(text));
  }
  EXPECT_TRUE(Db().GetChannels().empty());
}

TEST_F(ChannelsFile, EmptyChannelListReadsAsSuccess) {
  EXPECT_TRUE(ReadText(R"({"channels":[]})"));
  EXPECT_TRUE(Db().GetChannels().empty());
}

// A channel of an unknown type ends the reading; what came before stays and
// the read succeeds. That channel and every later one are named with the
// devices their "nodes" name.
TEST_F(ChannelsFile, UnknownChannelTypeEndsTheReading) {
  const char* kTypes[] = {R"("SR")", R"("serial")", R"("")", "1", "null"};
  for (const char* type : kTypes) {
    SCOPED_TRACE(type);
    ResetRuntime();
    const std::string text =
        std::string(R"({"channels":[{"type":"sr","name":"S1","nodes":[]},{"type":)") + type +
        R"(,"name":"odd","nodes":[{"devId":"modbus.RTU","name":"D1"},{"name":""},{"name":"D2"}]},)"
        R"({"type":"ethnet","name":"E1","nodes":[{"devId":"modbus.Tcp","name":"T9"}]},)"
        R"({"type":"ethnet","nodes":[]}]})";
    EXPECT_TRUE(ReadText(text));
    EXPECT_EQ(ChannelNames(), (std::vector<std::string>{"S1"}));
    EXPECT_EQ(unreadChannels_, (std::vector<std::string>{"odd(D1, D2)", "E1(T9)", "第4个通道"}));
    EXPECT_TRUE(unreadDevices_.empty());
  }

  // A channel entry that is not an object has no type either.
  ResetRuntime();
  EXPECT_TRUE(ReadText(R"({"channels":[{"type":"ethnet","name":"E1","nodes":[]},5,)"
                       R"({"type":"sr","name":"S1","nodes":[]}]})"));
  EXPECT_EQ(ChannelNames(), (std::vector<std::string>{"E1"}));
  EXPECT_EQ(unreadChannels_, (std::vector<std::string>{"第2个通道", "S1"}));
}

// A channel whose "nodes" is not an array stays, without devices, and ends
// the reading: the channels after it are named.
TEST_F(ChannelsFile, ChannelWithoutNodeArrayEndsTheReading) {
  EXPECT_TRUE(ReadText(R"({"channels":[{"type":"ethnet","name":"E1","nodes":)"
                       R"({"devId":"modbus.Tcp","name":"T1"}},{"type":"sr","name":"S1","nodes":[]}]})"));
  EXPECT_EQ(ChannelNames(), (std::vector<std::string>{"E1"}));
  EXPECT_TRUE(NodeNames().empty());
  EXPECT_EQ(unreadChannels_, std::vector<std::string>{"S1"});

  // The last channel: nothing after it to lose.
  ResetRuntime();
  EXPECT_TRUE(ReadText(R"({"channels":[{"type":"sr","name":"S1","nodes":[]},{"type":"ethnet","name":"E1"}]})"));
  EXPECT_EQ(ChannelNames(), (std::vector<std::string>{"S1", "E1"}));
  EXPECT_TRUE(unreadChannels_.empty());
}

// Reading adds to the database: devices of a second file whose names are
// taken are refused, the others join.
TEST_F(ChannelsFile, ReadingAddsToTheDatabase) {
  ASSERT_TRUE(ReadChannelsFile(Data("project_small", "com_chns")));
  EXPECT_TRUE(ReadText(R"({"channels":[{"type":"sr","name":"S3","nodes":[)"
                       R"({"devId":"modbus.RTU","name":"PLC1"},{"devId":"modbus.RTU","name":"PLC2"}]}]})"));
  EXPECT_EQ(ChannelNames(), (std::vector<std::string>{"S1", "E0", "E1", "S2", "S3"}));
  EXPECT_EQ(NodeNames(), (std::vector<std::string>{"PLC1", "FX1", "TCP1", "H3U1", "PLC2"}));
  EXPECT_EQ(unreadDevices_, std::vector<std::string>{"S3的第1个设备(PLC1)"});
  EXPECT_EQ(FindNode("PLC1")->GetDeviceImpl(),
            dynamic_cast<const NsTermination::ChannelSerialPort&>(*Db().GetChannels()[0])
                .GetDeviceImpl());
}

// The device dialogs refuse a name with a dot; a file that holds one from
// before still opens with it.
TEST_F(ChannelsFile, ADeviceNameWithADotStillOpens) {
  EXPECT_TRUE(ReadText(R"({"channels":[{"type":"sr","name":"S1","nodes":[)"
                       R"({"devId":"modbus.RTU","name":"A.B"},{"devId":"modbus.RTU","name":"C"}]}]})"));
  EXPECT_EQ(NodeNames(), (std::vector<std::string>{"A.B", "C"}));
}

}  // namespace
}  // namespace NsOvrin::Testing
