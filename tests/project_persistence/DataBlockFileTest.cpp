// The data-block file: every fallback of a block, the blocks and node
// objects that are dropped or skipped, and the rules that fail or end a read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProjectFilesFixture.h"
#include "project_persistence/ChannelsFile.h"
#include "project_persistence/DataBlockFile.h"

namespace NsOvrin::Testing {
namespace {

class DataBlockFile : public ProjectFilesFixture {
 protected:
  // The small project's devices: PLC1 (Modbus RTU), FX1 (FX), TCP1 (Modbus
  // TCP) and H3U1 (H3U), without data blocks.
  void SetUp() override {
    ProjectFilesFixture::SetUp();
    ASSERT_TRUE(ReadChannelsFile(Data("project_small", "com_chns")));
  }

  static std::vector<std::string> TaskNames(const std::string& node) {
    std::vector<std::string> names;
    for (const auto& task : FindNode(node)->GetTasks()) names.push_back(task->GetName());
    return names;
  }

  static std::size_t TaskCount() {
    std::size_t count = 0;
    for (const auto& handle : Db().GetAllNodes())
      if (const auto node = handle.Lock()) count += node->GetTasks().size();
    return count;
  }

  // The small project's devices afresh, then a file of two blocks of node:
  // first (named "first", interval 300, enabled) and second (named "second").
  bool ReadTwoBlocks(const char* node, const std::string& first, const std::string& second,
                     std::vector<std::string>* oversized) {
    ResetRuntime();
    if (!ReadChannelsFile(Data("project_small", "com_chns"))) return false;
    return ReadText(std::string(R"({"nodes":[{"name":")") + node +
                        R"(","acq-data-block-array":[{"name":"first","address":")" + first +
                        R"(","interval":300,"enable":true},{"name":"second","address":")" +
                        second + R"("}]}]})",
                    oversized);
  }

  // Reads the text as the data-block file; the blocks it left unread go to
  // unread_.
  bool ReadText(const std::string& text, std::vector<std::string>* oversized = nullptr) {
    WriteFileText(temp_ / "acq_db", text);
    unread_.clear();
    return ReadDataBlocksFile(temp_ / "acq_db", oversized, &unread_);
  }

  std::vector<std::string> unread_;
};

TEST_F(DataBlockFile, MissingAndMistypedMembersKeepTheirDefaults) {
  ASSERT_TRUE(ReadDataBlocksFile(Data("fallbacks", "acq_db")));

  const auto plc1 = FindNode("PLC1");
  const auto tasks = plc1->GetTasks();
  const struct {
    const char* name;
    const char* address;
    uint32_t interval;
    bool enabled;
  } kBlocks[] = {
      {"all", "4x[00000~00009]", 250, true},
      {"", "4x[00010~00019]", 0, false},     // name, interval, enable missing
      {"", "3x[00000~00003]", 4464, false},  // a number as name, 70000, enable 1
      {"neg", "1x[00000~00007]", 0, false},  // -1, "true"
      {"dbl", "4x[00020~00029]", 0, false},  // 100.0, null
      {"last", "0x[00000~00015]", 65535, false},
  };
  ASSERT_EQ(tasks.size(), std::size(kBlocks));
  for (std::size_t i = 0; i < tasks.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(tasks[i]->GetName(), kBlocks[i].name);
    EXPECT_EQ(plc1->FormatAddress(tasks[i]->GetAddr()), kBlocks[i].address);
    EXPECT_EQ(tasks[i]->GetInterval(), kBlocks[i].interval);
    EXPECT_EQ(tasks[i]->IsEnabled(), kBlocks[i].enabled);
  }
  // The unknown node objects are skipped and the next read; the node object
  // without a block array ends the reading.
  EXPECT_EQ(TaskNames("FX1"), (std::vector<std::string>{"d"}));
  EXPECT_TRUE(TaskNames("TCP1").empty());
  EXPECT_TRUE(TaskNames("H3U1").empty());

  ASSERT_TRUE(WriteDataBlocksFile(temp_ / "acq_db"));
  ExpectSameFile(temp_ / "acq_db", Data("fallbacks_expected", "acq_db"));
}

// Addresses that do not parse against the device's own map are dropped, and
// the next block is read.
TEST_F(DataBlockFile, BlocksThatDoNotParseAreDropped) {
  const struct {
    const char* node;
    const char* address;
    const char* good;  // a block the node's map takes
  } kDropped[] = {
      {"PLC1", "D[0~9]", "4x[0~7]"},       // an FX area on a Modbus device
      {"PLC1", "4x[9~0]", "4x[0~7]"},      // end before start
      {"PLC1", "4x[0~70000]", "4x[0~7]"},  // past the area
      {"FX1", "4x[0~9]", "M[0~7]"},        // a Modbus area on an FX device
      {"FX1", "X[0~18]", "M[0~7]"},        // not an octal number
      {"FX1", "D[0~8000]", "M[0~7]"},
      {"H3U1", "", "M[0~7]"},
  };
  for (const auto& c : kDropped) {
    SCOPED_TRACE(c.address);
    std::vector<std::string> oversized;
    EXPECT_TRUE(ReadTwoBlocks(c.node, c.address, c.good, &oversized));
    EXPECT_EQ(TaskNames(c.node), (std::vector<std::string>{"second"}));
    EXPECT_TRUE(oversized.empty());
    // Named as stored; one without an address by its name.
    EXPECT_EQ(unread_, std::vector<std::string>{std::string(c.node) +
                                                (*c.address != '\0' ? std::string(".") + c.address
                                                                     : std::string("(first)"))});
  }
}

// A block larger than one request of its device's protocol carries is kept
// as stored and written back unchanged; the read names it. The largest
// block a request carries is not named.
TEST_F(DataBlockFile, BlocksLargerThanOneRequestAreKeptAndNamed) {
  const struct {
    const char* node;
    const char* address;
    const char* written;  // canonical form
    bool named;
  } kCases[] = {
      {"PLC1", "4x[0~120]", "4x[00000~00120]", true},
      {"PLC1", "4x[0~119]", "4x[00000~00119]", false},
      {"PLC1", "0x[0~1920]", "0x[00000~01920]", true},
      {"FX1", "D[0~32]", "D[0~32]", true},
      {"FX1", "D[0~31]", "D[0~31]", false},
      {"TCP1", "4x[0~499]", "4x[00000~00499]", true},
      {"TCP1", "3x[10~130]", "3x[00010~00130]", true},
      {"H3U1", "D[0~120]", "D[0~120]", true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.address);
    std::vector<std::string> oversized;
    EXPECT_TRUE(ReadTwoBlocks(c.node, c.address, c.written, &oversized));
    EXPECT_EQ(TaskNames(c.node), (std::vector<std::string>{"first", "second"}));
    const std::string name = std::string(c.node) + "." + c.written;
    const std::vector<std::string> named =
        c.named ? std::vector<std::string>{name, name} : std::vector<std::string>();
    EXPECT_EQ(oversized, named);

    ASSERT_TRUE(WriteDataBlocksFile(temp_ / "acq_db"));
    const std::string text = ReadFileText(temp_ / "acq_db");
    EXPECT_NE(text.find(std::string(R"({"name":"first","address":")") + c.written +
                        R"(","interval":300,"enable":true})"),
              std::string::npos)
        << text;
  }
}

// Addresses of tens of thousands of characters, and many dots before a
// line break, are read whole: kept when the device's map takes them,
// otherwise dropped like any other address it refuses.
TEST_F(DataBlockFile, LongAddressesAreKeptOrDroppedWhole) {
  const std::string letters(40000, 'a');
  const std::string han = [] {
    std::string s;
    for (int i = 0; i < 40000; ++i) s += "址";
    return s;
  }();
  const std::string blanks(40000, ' ');
  const std::string dots(20000, '.');
  const struct {
    const char* node;
    std::string address;  // as the JSON text spells it
    const char* kept;     // the block's address when kept, else null
  } kCases[] = {
      {"PLC1", letters + "4x[0~7]", "4x[00000~00007]"},
      {"PLC1", han + "4x[0~7]", "4x[00000~00007]"},
      {"PLC1", "4x[" + std::string(40000, '0') + "~7]", "4x[00000~00007]"},
      {"PLC1", "4x" + std::string(40000, '1'), nullptr},
      {"PLC1", letters, nullptr},
      {"PLC1", dots + "\\n4x[0~7]", nullptr},
      {"FX1", blanks + "D1" + blanks, "D1"},
      {"FX1", "D" + letters, nullptr},
      {"FX1", "D[0~7]" + dots + "\\n", nullptr},
      {"FX1", dots + "\\nD1", nullptr},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.address.substr(0, 40));
    ResetRuntime();
    ASSERT_TRUE(ReadChannelsFile(Data("project_small", "com_chns")));
    EXPECT_TRUE(ReadText(std::string(R"({"nodes":[{"name":")") + c.node +
                         R"(","acq-data-block-array":[{"name":"long","address":")" + c.address +
                         R"("},{"name":"good","address":"1x[0~7]"}]}]})"));
    const auto tasks = FindNode(c.node)->GetTasks();
    if (c.kept == nullptr) {
      // The next block is still read (the FX map reads 1x[0~7] as X[0~7]).
      EXPECT_EQ(TaskNames(c.node), (std::vector<std::string>{"good"}));
      continue;
    }
    ASSERT_FALSE(tasks.empty());
    EXPECT_EQ(tasks[0]->GetName(), "long");
    EXPECT_EQ(FindNode(c.node)->FormatAddress(tasks[0]->GetAddr()), c.kept);
  }
}

TEST_F(DataBlockFile, FilesThatFailTheRead) {
  EXPECT_FALSE(ReadDataBlocksFile(""));
  EXPECT_FALSE(ReadDataBlocksFile(temp_ / "acq_db"));  // missing
  const char* kBroken[] = {
      "",
      "{\"nodes\":[",
      R"({"nodes":[]}])",
      R"([])",
      "null",
      "{}",
      R"({"nodes":{}})",
      R"({"nodes":"PLC1"})",
  };
  for (const char* text : kBroken) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(ReadText(text));
  }
  EXPECT_EQ(TaskCount(), 0u);
}

TEST_F(DataBlockFile, EmptyNodeListReadsAsSuccess) {
  EXPECT_TRUE(ReadText(R"({"nodes":[]})"));
  EXPECT_EQ(TaskCount(), 0u);
}

// A known node whose block array is missing or of another type ends the
// reading; an unknown node's array is not read. The blocks of the unknown
// node and of every node after the end are named.
TEST_F(DataBlockFile, KnownNodeWithoutBlockArrayEndsTheReading) {
  const char* kArrays[] = {"", R"(,"acq-data-block-array":{})", R"(,"acq-data-block-array":"x")",
                           R"(,"acq-data-block-array":null)"};
  for (const char* array : kArrays) {
    SCOPED_TRACE(array);
    ResetRuntime();
    ASSERT_TRUE(ReadChannelsFile(Data("project_small", "com_chns")));
    EXPECT_TRUE(ReadText(
        std::string(R"({"nodes":[{"name":"PLC1","acq-data-block-array":[{"name":"a","address":"4x1"}]},)") +
        R"({"name":"Ghost","acq-data-block-array":[{"name":"g","address":"4x2"},{"interval":5},7]},)"
        R"({"name":"FX1")" + array +
        R"(},{"name":"H3U1","acq-data-block-array":[{"name":"b","address":"D1"},{"name":"c"}]}]})"));
    EXPECT_EQ(TaskNames("PLC1"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(TaskCount(), 1u);
    // Blocks with neither address nor name hold nothing to name.
    EXPECT_EQ(unread_, (std::vector<std::string>{"Ghost.4x2", "H3U1.D1", "H3U1(c)"}));
  }
}

// Block names are not checked: two blocks of one name are both kept.
TEST_F(DataBlockFile, DuplicateBlockNamesAreKept) {
  EXPECT_TRUE(ReadText(R"({"nodes":[{"name":"FX1","acq-data-block-array":[)"
                       R"({"name":"d","address":"D[0~9]"},{"name":"d","address":"D[10~19]"}]}]})"));
  EXPECT_EQ(TaskNames("FX1"), (std::vector<std::string>{"d", "d"}));
}

}  // namespace
}  // namespace NsOvrin::Testing
