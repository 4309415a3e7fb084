// The main file: the one line written for a project, the fields read back,
// and every rule that refuses a file or makes a member fall back.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "events/QlBitVarEvent.h"
#include "project_persistence/MainFile.h"

namespace NsOvrin::Testing {
namespace {

using Strings = std::vector<std::string>;

class MainFile : public ::testing::Test {
 protected:
  std::string Path() const { return temp_ / "main_.ql"; }
  TempFolder temp_;
};

TEST_F(MainFile, DefaultProjectWithTwoPagesIsOneLine) {
  QlProjectData record;
  record.homePage = "页面1";
  record.pageNames = {"页面1", "页面2"};
  record.directory = temp_.Path();
  record.events.push_back(std::make_shared<NsQlEvent::QlBitVarEvent>("PLC1.M0"));

  ASSERT_TRUE(WriteMainFile(Path(), record));
  EXPECT_EQ(ReadFileText(Path()),
            R"({"ver":100,"size":{"width":640.0,"height":480.0},"home-page":"页面1",)"
            R"("server-ip-address":"0.0.0.0","page-list":[{"name":"页面1"},{"name":"页面2"}]})");
}

// Floats widened to doubles, an address in network byte order, texts that
// need escaping, and page names exactly as given.
TEST_F(MainFile, WrittenFieldsReadBack) {
  QlProjectData record;
  record.width = 1024.25f;
  record.height = 0.1f;
  record.homePage = "主页 \"x\"\\";
  record.serverAddress = inet_addr("10.1.2.3");
  record.pageNames = {"a", "", " b ", "a"};

  ASSERT_TRUE(WriteMainFile(Path(), record));
  EXPECT_EQ(ReadFileText(Path()),
            R"({"ver":100,"size":{"width":1024.25,"height":0.10000000149011612},)"
            R"("home-page":"主页 \"x\"\\","server-ip-address":"10.1.2.3",)"
            R"("page-list":[{"name":"a"},{"name":""},{"name":" b "},{"name":"a"}]})");

  QlProjectData read;
  ASSERT_TRUE(ReadMainFile(Path(), read));
  EXPECT_EQ(read.width, record.width);
  EXPECT_EQ(read.height, record.height);
  EXPECT_EQ(read.homePage, record.homePage);
  EXPECT_EQ(read.serverAddress, record.serverAddress);
  EXPECT_EQ(read.pageNames, record.pageNames);
  EXPECT_TRUE(read.directory.empty());
  EXPECT_TRUE(read.events.empty());
}

// What a read makes of one file, starting from a record whose fields are
// all set, so that a member that is not taken shows as the preset value.
struct ReadCase {
  const char* name;
  const char* text;
  bool ok;
  float width = 11.0f;
  float height = 22.0f;
  const char* homePage = "";
  const char* server = "1.2.3.4";
  Strings pages = {};
};

const ReadCase kReadCases[] = {
    {"ver 0 with an empty page list", R"({"ver":0,"page-list":[]})", true},
    {"ver 101", R"({"ver":101,"page-list":[]})", false},
    {"ver 100.0", R"({"ver":100.0,"page-list":[]})", false},
    {"ver -1", R"({"ver":-1,"page-list":[]})", false},
    {"ver as text", R"({"ver":"100","page-list":[]})", false},
    {"no ver", R"({"page-list":[{"name":"p"}]})", false},
    {"no page list", R"({"ver":100,"size":{"width":1.0,"height":2.0},"home-page":"p"})", false},
    {"page list not an array", R"({"ver":100,"page-list":{"name":"p"}})", false},
    {"root is an array", R"([{"ver":100,"page-list":[]}])", false},
    {"root is a string", R"("main")", false},
    {"truncated", R"({"ver":100,"page-list":[)", false},
    {"empty file", "", false},
    {"two roots", R"({"ver":100,"page-list":[]} {})", false},
    {"first page becomes the home page", R"({"ver":100,"page-list":[{"name":"p1"},{"name":"p2"}]})",
     true, 11.0f, 22.0f, "p1", "1.2.3.4", {"p1", "p2"}},
    {"home page not a string", R"({"ver":100,"home-page":5,"page-list":[{"name":"p1"}]})", true,
     11.0f, 22.0f, "p1", "1.2.3.4", {"p1"}},
    {"empty home page", R"({"ver":100,"home-page":"","page-list":[{"name":"p1"}]})", true, 11.0f,
     22.0f, "p1", "1.2.3.4", {"p1"}},
    {"home page kept as stored", R"({"ver":100,"home-page":"elsewhere","page-list":[{"name":"p1"}]})",
     true, 11.0f, 22.0f, "elsewhere", "1.2.3.4", {"p1"}},
    {"page entries without a usable name",
     R"({"ver":100,"page-list":[{"name":" a "},{},{"name":3},"text",[],{"name":"a"},{"name":""}]})",
     true, 11.0f, 22.0f, " a ", "1.2.3.4", {" a ", "", "", "", "", "a", ""}},
    {"size as doubles", R"({"ver":100,"size":{"width":800.5,"height":1e2},"page-list":[]})", true,
     800.5f, 100.0f},
    {"size as integers", R"({"ver":100,"size":{"width":800,"height":600.0},"page-list":[]})", true,
     11.0f, 600.0f},
    {"size beyond floats", R"({"ver":100,"size":{"width":1e39,"height":-1e39},"page-list":[]})", true},
    {"size not an object", R"({"ver":100,"size":[800.0,600.0],"page-list":[]})", true},
    {"size with one component", R"({"ver":100,"size":{"height":300.0},"page-list":[]})", true, 11.0f,
     300.0f},
    {"server address", R"({"ver":100,"server-ip-address":"192.168.0.7","page-list":[]})", true,
     11.0f, 22.0f, "", "192.168.0.7"},
    {"server address out of range", R"({"ver":100,"server-ip-address":"300.1.1.1","page-list":[]})",
     true},
    {"server address empty", R"({"ver":100,"server-ip-address":"","page-list":[]})", true},
    {"server address as a number", R"({"ver":100,"server-ip-address":3232235527,"page-list":[]})",
     true},
};

TEST_F(MainFile, ReadTakesWhatPassesAndRefusesWhatMustBeThere) {
  for (const ReadCase& c : kReadCases) {
    SCOPED_TRACE(c.name);
    WriteFileText(Path(), c.text);
    QlProjectData record;
    record.width = 11.0f;
    record.height = 22.0f;
    record.serverAddress = inet_addr("1.2.3.4");
    record.directory = "/somewhere";

    EXPECT_EQ(ReadMainFile(Path(), record), c.ok);
    // A refused file leaves the record as it was.
    EXPECT_EQ(record.width, c.ok ? c.width : 11.0f);
    EXPECT_EQ(record.height, c.ok ? c.height : 22.0f);
    EXPECT_EQ(record.homePage, c.ok ? c.homePage : "");
    EXPECT_EQ(record.serverAddress, inet_addr(c.ok ? c.server : "1.2.3.4"));
    EXPECT_EQ(record.pageNames, c.ok ? c.pages : Strings{});
    EXPECT_EQ(record.directory, "/somewhere");
  }
}

TEST_F(MainFile, PathsThatCannotBeUsed) {
  QlProjectData record;
  record.pageNames = {"p"};
  EXPECT_FALSE(ReadMainFile("", record));
  EXPECT_FALSE(ReadMainFile(temp_ / "missing.ql", record));
  EXPECT_FALSE(ReadMainFile(temp_.Path(), record));
  EXPECT_EQ(record.pageNames, Strings{"p"});

  EXPECT_FALSE(WriteMainFile("", record));
  EXPECT_FALSE(WriteMainFile(temp_ / "missing/main_.ql", record));
  EXPECT_FALSE(Exists(temp_ / "missing"));
}

}  // namespace
}  // namespace NsOvrin::Testing
