#include "common/JsonUtility.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "common/ByteBuffer.h"
#include "common/Log.h"

using namespace NsOvrin;
namespace fs = std::filesystem;

namespace {

rapidjson::Document Parse(const std::string& text) {
  rapidjson::Document doc;
  doc.Parse(text.c_str(), text.size());
  EXPECT_FALSE(doc.HasParseError()) << text;
  return doc;
}

// {"<key>": <value>}
rapidjson::Document Member(const std::string& key, const std::string& value) {
  return Parse("{\"" + key + "\":" + value + "}");
}

template <typename Write>
std::string Written(Write write) {
  rapidjson::StringBuffer buffer;
  JsonWriter writer(buffer);
  writer.StartObject();
  write(writer);
  writer.EndObject();
  return buffer.GetString();
}

class ErrorLog : public NsLog::LogSink {
 public:
  ErrorLog() : logger_(NsLog::GetLogger(8)), was_(logger_.IsEnabled()) {
    logger_.AddSink(this);
    logger_.SetEnabled(true);
  }
  ~ErrorLog() override {
    logger_.RemoveSink(this);
    logger_.SetEnabled(was_);
  }
  void Write(const NsLog::LogRecord& record) override { texts.push_back(record.text); }
  std::vector<std::string> texts;

 private:
  NsLog::Logger& logger_;
  bool was_;
};

// ---------------------------------------------------------------- files

class JsonFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "json_utility_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string At(const std::string& name) const { return (dir_ / name).string(); }
  static void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  static rapidjson::StringBuffer BufferOf(const std::string& text) {
    rapidjson::StringBuffer buffer;
    for (char c : text) buffer.Put(c);
    return buffer;
  }

  fs::path dir_;
};

TEST_F(JsonFiles, LoadAcceptsOneStrictJsonText) {
  struct Case {
    const char* name;
    const char* bytes;  // null: no file at all
    bool loads;
  };
  const Case cases[] = {
      {"missing", nullptr, false},
      {"empty", "", false},
      {"blanks only", " \r\n\t", false},
      {"two roots", "{} {}", false},
      {"trailing comma", "{\"a\":1,}", false},
      {"comment", "// c\n{}", false},
      {"truncated", "{\"a\":[1,2", false},
      {"single quotes", "{'a':1}", false},
      {"object with blanks around", " \n{\"a\":1}\r\n ", true},
      {"array root", "[]", true},
      {"number root", "5", true},
      {"byte-order mark", "\xEF\xBB\xBF{}", false},
      {"lone 0xEF", "\xEF{}", false},
      {"lone 0xBB", "\xBB{}", false},
      {"lone 0xBF", "\xBF{}", false},
      {"two mark bytes", "\xBB\xBF{}", false},
      {"mark after blanks", " \xEF\xBB\xBF{}", false},
      {"mark after the root", "{}\xEF\xBB\xBF", false},
  };
  for (const Case& c : cases) {
    const std::string path = At(c.name);
    if (c.bytes != nullptr) Put(path, c.bytes);
    rapidjson::Document doc;
    EXPECT_EQ(LoadJsonFile(path, doc), c.loads) << c.name;
  }
  rapidjson::Document doc;
  EXPECT_FALSE(LoadJsonFile(dir_.string(), doc)) << "a folder";
  const std::string fifo = At("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(LoadJsonFile(fifo, doc)) << "a FIFO nobody writes to";
}

TEST_F(JsonFiles, LoadKeepsTheParsedValues) {
  Put(At("page"), "{\"text\":\"中文\",\"n\":[1,2.5]}");
  rapidjson::Document doc;
  ASSERT_TRUE(LoadJsonFile(At("page"), doc));
  std::string text;
  EXPECT_TRUE(ReadText(doc, text));
  EXPECT_EQ(text, "中文");
  EXPECT_EQ(doc["n"].Size(), 2u);
}

TEST_F(JsonFiles, EmptyPathLoadsNothingAndLeavesTheDocument) {
  rapidjson::Document doc;
  doc.Parse("{\"kept\":true}");
  EXPECT_TRUE(LoadJsonFile("", doc));
  bool kept = false;
  EXPECT_TRUE(ReadBoolMember(doc, "kept", kept));
  EXPECT_TRUE(kept);
  // The object variant wants a file.
  EXPECT_FALSE(LoadJsonObjectFile("", doc));
}

TEST_F(JsonFiles, ObjectLoadRefusesEveryOtherRoot) {
  const std::pair<const char*, bool> cases[] = {
      {"{}", true}, {"[]", false}, {"5", false}, {"\"s\"", false}, {"null", false}, {"{} {}", false},
  };
  for (const auto& [bytes, loads] : cases) {
    Put(At("main"), bytes);
    rapidjson::Document doc;
    EXPECT_EQ(LoadJsonObjectFile(At("main"), doc), loads) << bytes;
  }
  rapidjson::Document doc;
  EXPECT_FALSE(LoadJsonObjectFile(At("absent"), doc));
}

TEST_F(JsonFiles, DeeplyNestedInputDoesNotExhaustTheStack) {
  const std::size_t depth = 200000;
  Put(At("deep"), std::string(depth, '[') + std::string(depth, ']'));
  Put(At("deep-open"), std::string(depth, '['));
  rapidjson::Document doc;
  EXPECT_TRUE(LoadJsonFile(At("deep"), doc));
  EXPECT_FALSE(LoadJsonFile(At("deep-open"), doc));
}

// The in-place load answers as the copying load does for every text, and
// gives the same values.
TEST_F(JsonFiles, InPlaceLoadMatchesTheCopyingLoad) {
  const std::size_t depth = 200000;
  const std::string cases[] = {
      "",
      " \r\n\t",
      "{} {}",
      "{\"a\":1,}",
      "[]",
      "5",
      "{\"a\":[1,2",
      " \n{\"a\":1}\r\n ",
      "\xEF\xBB\xBF{\"bom\":1}",
      "\xBB\xBF{\"part of a bom\":1}",
      "\xBF{\"last byte of a bom\":1}",
      "\xEF\xBB\xBF\xEF{}",
      std::string("{\"a\":1}\0trailing", 17),
      std::string("{\"a\":\"x\0y\"}", 12),
      "{\"escaped\":\"a\\u0000b\\n\\u4E2D\",\"text\":\"中文\",\"n\":[1,-2,2.5,1e3]}",
      "{\"a\":\"\xFF\xFE\"}",
      "{\"deep\":" + std::string(depth, '[') + std::string(depth, ']') + "}",
      "{\"deep\":" + std::string(depth, '['),
      // Around the nesting where the in-place load changes parser.
      "{\"a\":" + std::string(62, '[') + "\"x\\n\"" + std::string(62, ']') + "}",
      "{\"a\":" + std::string(63, '[') + "\"x\\n\"" + std::string(63, ']') + "}",
      "{\"a\":" + std::string(64, '[') + "\"x\\n\"" + std::string(64, ']') + "}",
      "{\"a\":" + std::string(64, '[') + "\"x\\n\"" + std::string(63, ']') + "}",
      // Strings read a word at a time: ends at every place within a word,
      // escapes before and after long plain runs, and runs cut short.
      "{\"abcdefg\":\"1234567\",\"abcdefgh\":\"12345678\",\"abcdefghi\":\"123456789\"}",
      "{\"k\":\"" + std::string(40, 'x') + "\",\"" + std::string(17, 'y') + "\":\"" + std::string(23, 'z') + "\"}",
      "{\"a\":\"\\\"" + std::string(30, 'b') + "\\n" + std::string(9, 'c') + "\\u4E2D" + std::string(8, 'd') + "\"}",
      "{\"a\":\"" + std::string(8, 'b') + "\\\\" + std::string(8, 'c') + "\\t\"}",
      "{\"text\":\"中文中文中文中文 \x7F mixed 中\"}",
      "{\"a\":\"" + std::string(12, 'b') + "\t" + std::string(12, 'c') + "\"}",
      "{\"a\":\"" + std::string(12, 'b') + "\x1F\"}",
      "{\"a\":\"" + std::string(20, 'b'),
      "{\"a\":\"bcd",
      "{\"a\":\"" + std::string(20, 'b') + "\\",
      std::string("{\"a\":\"abcdefghijk\0lmnop\"}", 25),
  };
  for (const std::string& bytes : cases) {
    Put(At("page"), bytes);
    rapidjson::Document copied;
    const bool copiedLoads = LoadJsonObjectFile(At("page"), copied);
    ByteBuffer text;
    rapidjson::Document inPlace;
    EXPECT_EQ(LoadJsonObjectFileInPlace(At("page"), inPlace, text), copiedLoads) << bytes.substr(0, 40);
    // Comparing values recurses: not for the deep text.
    if (copiedLoads && bytes.size() < depth) {
      EXPECT_TRUE(inPlace == copied) << bytes.substr(0, 40);
    }
  }
  ByteBuffer text;
  rapidjson::Document doc;
  EXPECT_FALSE(LoadJsonObjectFileInPlace(At("absent"), doc, text));
  EXPECT_FALSE(LoadJsonObjectFileInPlace("", doc, text));
  EXPECT_FALSE(LoadJsonObjectFileInPlace(dir_.string(), doc, text));
}

TEST_F(JsonFiles, SaveWritesTheTextAndReplacesTheOldFile) {
  const std::string path = At("com_chns");
  Put(path, "{\"old\":\"a much longer old content than the new one\"}");
  ASSERT_TRUE(SaveJsonFile(path, BufferOf("{\"channels\":[]}")));
  EXPECT_EQ(Contents(path), "{\"channels\":[]}");
  EXPECT_EQ(Listing(), std::vector<std::string>{"com_chns"});

  ASSERT_TRUE(SaveJsonFile(At("fresh"), BufferOf("{}")));
  EXPECT_EQ(Contents(At("fresh")), "{}");
  EXPECT_EQ(Listing(), (std::vector<std::string>{"com_chns", "fresh"}));
}

TEST_F(JsonFiles, SaveFailsWithoutLeavingAnything) {
  fs::create_directory(dir_ / "sub");
  Put(At("sub/inside"), "x");
  const std::string cases[] = {"", At("no-such-folder/file"), At("sub"), At("sub/")};
  for (const std::string& path : cases) EXPECT_FALSE(SaveJsonFile(path, BufferOf("{}"))) << path;
  EXPECT_EQ(Listing(), std::vector<std::string>{"sub"});
  EXPECT_EQ(Contents(At("sub/inside")), "x");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "sub"), fs::directory_iterator()), 1);
}

// The save runs in a child whose file-size limit makes the write fail part
// way, as a full disk would.
TEST_F(JsonFiles, FailedWriteLeavesTheOldFileWhole) {
  const std::string path = At("acq_db");
  const std::string oldText = "{\"nodes\":[\"old\"]}";
  const std::string newText = "{\"nodes\":[" + std::string(200, ' ') + "]}";
  struct Case {
    rlim_t limit;
    bool saved;
  };
  for (const Case c : {Case{64, false}, Case{4096, true}}) {
    Put(path, oldText);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{c.limit, c.limit};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      ::_exit(SaveJsonFile(path, BufferOf(newText)) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), c.saved ? 1 : 0) << c.limit;
    EXPECT_EQ(Contents(path), c.saved ? newText : oldText) << c.limit;
    EXPECT_EQ(Listing(), std::vector<std::string>{"acq_db"}) << c.limit;
  }
}

TEST_F(JsonFiles, SaveKeepsPermissionsAndFollowsLinks) {
  const std::string path = At("users");
  Put(path, "{}");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(SaveJsonFile(path, BufferOf("[1]")));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  const std::string link = At("link");
  ASSERT_EQ(::symlink("users", link.c_str()), 0);
  ASSERT_TRUE(SaveJsonFile(link, BufferOf("[2]")));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Contents(path), "[2]");

  // A new file gets the mode every new file of the program gets.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ASSERT_TRUE(SaveJsonFile(At("new"), BufferOf("{}")));
  ASSERT_EQ(::stat(At("new").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0666u & ~mask);
}

TEST_F(JsonFiles, WrittenDocumentLoadsBack) {
  rapidjson::StringBuffer buffer;
  JsonWriter writer(buffer);
  writer.StartObject();
  writer.Key("text");
  WriteUtf8String(writer, "行1\n\"引号\"\\");
  WriteMinLimit(writer, true, -5);
  writer.EndObject();
  ASSERT_TRUE(SaveJsonFile(At("page.ovpg"), buffer));

  rapidjson::Document doc;
  ASSERT_TRUE(LoadJsonObjectFile(At("page.ovpg"), doc));
  std::string text;
  int32_t min = 0;
  EXPECT_TRUE(ReadText(doc, text));
  EXPECT_EQ(text, "行1\n\"引号\"\\");
  EXPECT_TRUE(ReadUnsignedMember(doc, "min-val", min));
  EXPECT_EQ(min, -5);
}

// ---------------------------------------------------------------- readers

// A value of a member and what a reader makes of it.
template <typename T>
struct ReadCase {
  const char* json;
  bool taken;
  T value;  // when taken
};

template <typename T>
using Reader = std::function<bool(const rapidjson::Value&, T&)>;

template <typename T>
void CheckReader(const char* key, const Reader<T>& read, const std::vector<ReadCase<T>>& cases,
                 T untouched) {
  for (const ReadCase<T>& c : cases) {
    const rapidjson::Document doc = Member(key, c.json);
    T out = untouched;
    EXPECT_EQ(read(doc, out), c.taken) << key << " = " << c.json;
    if (c.taken) {
      EXPECT_EQ(out, c.value) << key << " = " << c.json;
    } else {
      EXPECT_EQ(out, untouched) << key << " = " << c.json;
    }
  }
  // Another key, or no object at all, takes nothing.
  for (const char* other : {"{\"other\":1}", "[]", "5", "null", "\"s\""}) {
    const rapidjson::Document doc = Parse(other);
    T out = untouched;
    EXPECT_FALSE(read(doc, out)) << key << " in " << other;
    EXPECT_EQ(out, untouched);
  }
}

TEST(JsonReaders, ColoursTakeUnsignedNumbers) {
  const std::vector<ReadCase<uint32_t>> cases = {
      {"15790320", true, 0xF0F0F0}, {"0", true, 0},       {"4294967295", true, 0xFFFFFFFFu},
      {"-1", false, 0},             {"4294967296", false, 0}, {"255.0", false, 0},
      {"\"255\"", false, 0},        {"true", false, 0},    {"null", false, 0},
      {"[1]", false, 0},
  };
  const std::pair<const char*, Reader<uint32_t>> readers[] = {
      {"text-color", ReadTextColor},   {"text-color2", ReadTextColor2},
      {"bk-color", ReadBkColor},       {"bk-color2", ReadBkColor2},
      {"border-color", ReadBorderColor}, {"title-bk-color", ReadTitleBkColor},
  };
  for (const auto& [key, read] : readers) CheckReader<uint32_t>(key, read, cases, 0x12345678);
  CheckReader<uint32_t>("any", [](const auto& o, uint32_t& v) { return ReadUnsignedMember(o, "any", v); },
                        cases, 0x12345678);
}

TEST(JsonReaders, UnsignedIntegersKeepTheirPatternInSignedFields) {
  const std::vector<ReadCase<int32_t>> cases = {
      {"3", true, 3},     {"4294967291", true, -5}, {"2147483648", true, INT32_MIN},
      {"-5", false, 0},   {"3.0", false, 0},        {"false", false, 0},
  };
  CheckReader<int32_t>("border-style", ReadBorderStyle, cases, 77);
  CheckReader<int32_t>("access-permission", ReadAccessPermission, cases, 77);
}

TEST(JsonReaders, AlignmentsKeepTheLowSixteenBits) {
  const std::vector<ReadCase<uint16_t>> cases = {
      {"2", true, 2}, {"65537", true, 1}, {"4294967295", true, 0xFFFF}, {"-1", false, 0}, {"1.0", false, 0},
  };
  CheckReader<uint16_t>("text-align", ReadTextAlign, cases, 9);
  CheckReader<uint16_t>("vertical-align", ReadVerticalAlign, cases, 9);
}

TEST(JsonReaders, FontSizeAndImageStyleTakeSignedNumbers) {
  const std::vector<ReadCase<int32_t>> cases = {
      {"120", true, 120},         {"-5", true, -5},          {"2147483647", true, INT32_MAX},
      {"-2147483648", true, INT32_MIN}, {"4294967295", false, 0}, {"2147483648", false, 0},
      {"120.0", false, 0},        {"\"120\"", false, 0},
  };
  CheckReader<int32_t>("font-size", ReadFontSize, cases, 77);
  CheckReader<int32_t>("image-style", ReadImageStyle, cases, 77);
}

TEST(JsonReaders, AlphaTakesDoublesWithinTheFloatRange) {
  const std::vector<ReadCase<float>> cases = {
      {"1.0", true, 1.0f},          {"0.5", true, 0.5f},      {"0.0", true, 0.0f},
      {"1e0", true, 1.0f},          {"-3.4e38", true, -3.4e38f}, {"1e39", false, 0},
      {"-1e39", false, 0},          {"1", false, 0},          {"0", false, 0},
      {"\"1.0\"", false, 0},
  };
  CheckReader<float>("bk-color-alpha", ReadBkColorAlpha, cases, 0.25f);
}

TEST(JsonReaders, BooleansAndStrings) {
  const std::vector<ReadCase<bool>> bools = {
      {"true", true, true}, {"false", true, false}, {"1", false, false}, {"\"true\"", false, false},
  };
  CheckReader<bool>("read-only", ReadReadOnly, bools, true);

  const std::vector<ReadCase<std::string>> strings = {
      {"\"PLC1.4x100\"", true, "PLC1.4x100"},
      {"\"\"", true, ""},
      {"\"中文\\u00e9\"", true, "中文é"},
      {"\"ab\\u0000cd\"", true, "ab"},  // cut at the first NUL
      {"\"\xff\xfe\"", true, ""},       // not UTF-8: an empty text
      {"5", false, ""},
      {"null", false, ""},
  };
  CheckReader<std::string>("text", ReadText, strings, "kept");
  CheckReader<std::string>("address", ReadAddress, strings, "kept");
  CheckReader<std::string>("home-page",
                           [](const auto& o, std::string& s) { return ReadStringMember(o, "home-page", s); },
                           strings, "kept");
}

TEST(JsonReaders, IPv4TextsInNetworkByteOrder) {
  uint32_t expected = 0;
  std::memcpy(&expected, "\xC0\xA8\x01\x0A", 4);
  const std::vector<ReadCase<uint32_t>> cases = {
      {"\"192.168.1.10\"", true, expected}, {"\"0.0.0.0\"", true, 0},  {"\"256.1.1.1\"", false, 0},
      {"\"192.168.1\"", false, 0},          {"\"\"", false, 0},         {"\"1.2.3.4\\u00005\"", false, 0},
      {"3232235786", false, 0},
  };
  CheckReader<uint32_t>("server-ip-address",
                        [](const auto& o, uint32_t& v) { return ReadIPv4Member(o, "server-ip-address", v); },
                        cases, 0xDEADBEEF);
}

TEST(JsonReaders, SizeTakesEachDoubleComponent) {
  struct Case {
    const char* json;
    bool found;
    float width, height;
  };
  const Case cases[] = {
      {"{}", false, 1, 2},
      {"{\"size\":5}", false, 1, 2},
      {"{\"size\":[800.0,600.0]}", false, 1, 2},
      {"{\"size\":{}}", true, 1, 2},
      {"{\"size\":{\"width\":800.0,\"height\":600.0}}", true, 800, 600},
      {"{\"size\":{\"width\":800,\"height\":600.5}}", true, 1, 600.5f},
      {"{\"size\":{\"width\":1e39,\"height\":\"600.0\"}}", true, 1, 2},
  };
  for (const Case& c : cases) {
    float width = 1, height = 2;
    EXPECT_EQ(ReadSize(Parse(c.json), width, height), c.found) << c.json;
    EXPECT_EQ(width, c.width) << c.json;
    EXPECT_EQ(height, c.height) << c.json;
  }
}

TEST(JsonReaders, StringLists) {
  struct Case {
    const char* json;
    std::vector<std::string> all, nonEmpty;
  };
  const Case cases[] = {
      {"[\"a\",5,\"b\"]", {"kept", "a", "", "b"}, {"kept", "a"}},
      {"[\"a\",\"\",5,\"b\"]", {"kept", "a", "", "", "b"}, {"kept", "a"}},
      {"[\"\",\"x\",\"\",\"y\"]", {"kept", "", "x", "", "y"}, {"kept", "x", "y"}},
      {"[null,{\"a\":1},\"c\"]", {"kept", "", "", "c"}, {"kept"}},
      {"[]", {"kept"}, {"kept"}},
      {"{\"a\":\"b\"}", {"kept"}, {"kept"}},
      {"\"a\"", {"kept"}, {"kept"}},
  };
  for (const Case& c : cases) {
    const rapidjson::Document doc = Parse(c.json);
    std::vector<std::string> all{"kept"}, nonEmpty{"kept"};
    ReadStringList(doc, all);
    ReadNonEmptyStringList(doc, nonEmpty);
    EXPECT_EQ(all, c.all) << c.json;
    EXPECT_EQ(nonEmpty, c.nonEmpty) << c.json;
  }
}

TEST(JsonWalk, ArraysOfObjectsTreatOtherElementsAsEmptyObjects) {
  const rapidjson::Document doc = Parse("[{\"name\":\"a\"},5,[\"name\"],{\"name\":\"b\"},{\"name\":\"c\"}]");
  std::vector<std::string> names;
  EXPECT_TRUE(ForEachJsonObject(doc, [&](const rapidjson::Value& object) {
    EXPECT_TRUE(object.IsObject());
    std::string name = "-";
    ReadStringMember(object, "name", name);
    names.push_back(name);
  }));
  EXPECT_EQ(names, (std::vector<std::string>{"a", "-", "-", "b", "c"}));

  // A visitor returning false ends the walk.
  int visits = 0;
  EXPECT_TRUE(ForEachJsonObject(doc, [&](const rapidjson::Value&) { return ++visits < 2; }));
  EXPECT_EQ(visits, 2);

  for (const char* other : {"{}", "5", "null"}) {
    EXPECT_FALSE(ForEachJsonObject(Parse(other), [&](const rapidjson::Value&) { ++visits; })) << other;
  }
  EXPECT_EQ(visits, 2);
}

TEST(JsonWalk, FindMemberOnlyInObjects) {
  const rapidjson::Document doc = Parse("{\"a\":1,\"a\":2,\"list\":[{\"x\":3}]}");
  const rapidjson::Value* a = FindJsonMember(doc, "a");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->GetInt(), 1);  // the first of two
  EXPECT_EQ(FindJsonMember(doc, "b"), nullptr);
  EXPECT_EQ(FindJsonMember(doc["list"], "x"), nullptr);
  // Names of one length and one first byte, a prefix, and the empty name.
  const rapidjson::Document near = Parse("{\"text\":1,\"text-color\":2,\"text-align\":3,\"\":4,\"te\":5}");
  const std::pair<const char*, int> keys[] = {{"text", 1}, {"text-color", 2}, {"text-align", 3}, {"", 4}, {"te", 5}};
  for (const auto& [key, value] : keys) {
    const rapidjson::Value* found = FindJsonMember(near, key);
    ASSERT_NE(found, nullptr) << key;
    EXPECT_EQ(found->GetInt(), value) << key;
  }
  EXPECT_EQ(FindJsonMember(near, "text-colour"), nullptr);
  EXPECT_EQ(FindJsonMember(near, "t"), nullptr);
  EXPECT_EQ(FindJsonMember(*a, "x"), nullptr);
  // Names of each short length that differ only inside, with the same first
  // and last byte; the 7- and 14-byte ones only in their last word.
  const rapidjson::Document inside =
      Parse("{\"tax\":1,\"tex\":2,\"rowas\":3,\"rowbs\":4,\"abcdefg\":5,\"abcdxfg\":6,"
            "\"abcdefgh-x-end\":7,\"abcdefgh-y-end\":8,\"a-long-name-one-end\":9,\"a-long-name-two-end\":10}");
  const std::pair<const char*, int> insideKeys[] = {{"tex", 2},     {"rowbs", 4},          {"abcdxfg", 6},
                                                    {"abcdefgh-y-end", 8}, {"a-long-name-two-end", 10}};
  for (const auto& [key, value] : insideKeys) {
    const rapidjson::Value* found = FindJsonMember(inside, key);
    ASSERT_NE(found, nullptr) << key;
    EXPECT_EQ(found->GetInt(), value) << key;
  }
  for (const char* absent : {"tix", "rowcs", "abcdyfg", "abcdefgh-z-end", "a-long-name-six-end"})
    EXPECT_EQ(FindJsonMember(inside, absent), nullptr) << absent;
}

// ---------------------------------------------------------------- writers

TEST(JsonWriters, SharedKeysInTheCompactForm) {
  uint32_t address = 0;
  std::memcpy(&address, "\xC0\xA8\x01\x0A", 4);
  EXPECT_EQ(Written([&](JsonWriter& w) {
              WriteReadOnly(w, true);
              WriteMinLimit(w, true, -5);
              WriteMaxLimit(w, false, 16777215);
              WriteIPv4Member(w, "ip-address", address);
              WriteIPv4Member(w, "server-ip-address", 0);
            }),
            "{\"read-only\":true,\"enable-min-val\":true,\"min-val\":4294967291,"
            "\"enable-max-val\":false,\"max-val\":16777215,\"ip-address\":\"192.168.1.10\","
            "\"server-ip-address\":\"0.0.0.0\"}");
  EXPECT_EQ(Written([](JsonWriter& w) {
              WriteReadOnly(w, false);
              WriteMinLimit(w, false, INT32_MIN);
              WriteMaxLimit(w, true, -1);
            }),
            "{\"read-only\":false,\"enable-min-val\":false,\"min-val\":2147483648,"
            "\"enable-max-val\":true,\"max-val\":4294967295}");
}

TEST(JsonWriters, FloatsInTheShortestRoundTripForm) {
  const std::pair<float, const char*> cases[] = {
      {20.0f, "20.0"},
      {0.0f, "0.0"},
      {640.0f, "640.0"},
      {-3.25f, "-3.25"},
      {0.5f, "0.5"},
      {0.1f, "0.10000000149011612"},
      {std::numeric_limits<float>::quiet_NaN(), "0.0"},
      {std::numeric_limits<float>::infinity(), "0.0"},
      {-std::numeric_limits<float>::infinity(), "0.0"},
  };
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(Written([v = value](JsonWriter& w) {
                w.Key("size");
                WriteFloat(w, v);
              }),
              std::string("{\"size\":") + text + "}")
        << value;
  }
  // Every finite float comes back as the same float.
  for (const float value : {0.1f, 1e30f, -1e-30f, 3.4e38f, 123.456f, 1.0f / 3.0f}) {
    const std::string json = Written([value](JsonWriter& w) {
      w.Key("bk-color-alpha");
      WriteFloat(w, value);
    });
    float back = 0;
    EXPECT_TRUE(ReadBkColorAlpha(Parse(json), back)) << json;
    EXPECT_EQ(back, value) << json;
  }
}

TEST(JsonWriters, Utf8Strings) {
  struct Case {
    std::string text;
    const char* json;
    bool logged;
  };
  const Case cases[] = {
      {"", "\"\"", false},
      {"中文 text", "\"中文 text\"", false},
      {"q\"b\\s/\n\t\x01", "\"q\\\"b\\\\s/\\n\\t\\u0001\"", false},
      {std::string("a\0b", 3), "\"a\\u0000b\"", false},
      {"\xff", "\"\"", true},
      {"ab\xe4\xb8", "\"\"", true},   // truncated sequence
      {"\xed\xa0\x80", "\"\"", true},  // a surrogate
  };
  for (const Case& c : cases) {
    ErrorLog log;
    EXPECT_EQ(Written([&](JsonWriter& w) {
                w.Key("text");
                WriteUtf8String(w, c.text);
              }),
              std::string("{\"text\":") + c.json + "}");
    EXPECT_EQ(log.texts, c.logged ? std::vector<std::string>{"异常的数据."} : std::vector<std::string>{})
        << c.json;
  }
}

}  // namespace
