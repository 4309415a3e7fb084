#include "common/PathUtil.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace NsOvrin;

namespace {

class PathFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/pathutil_test_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  std::string At(const std::string& name) const { return dir_ + "/" + name; }
  static void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  static bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
  }

  std::string dir_;
};

struct TextCase {
  std::string in, out;
};

TEST(PathText, TrailingSeparators) {
  const TextCase add[] = {
      {"", ""},           {"a", "a/"},           {"/a", "/a/"},
      {"/a/", "/a/"},     {"C:\\dir\\", "C:\\dir\\"}, {"C:\\dir/", "C:\\dir/"},
      {"C:\\dir", "C:\\dir/"},
  };
  for (const TextCase& c : add) EXPECT_EQ(AddTrailingBackslash(c.in), c.out) << c.in;
  const TextCase remove[] = {
      {"", ""},       {"a", "a"},        {"/a/", "/a"},           {"/a//", "/a/"},
      {"/", ""},      {"C:\\dir/", "C:\\dir"}, {"C:\\dir\\\\", "C:\\dir\\"},
  };
  for (const TextCase& c : remove) EXPECT_EQ(RemoveTrailingSlash(c.in), c.out) << c.in;
}

TEST(PathText, FileNameOfPath) {
  const TextCase cases[] = {
      {"/pics/a.png", "a.png"},      {"C:\\pics\\a.png", "a.png"}, {"pics/sub\\a.png", "a.png"},
      {"a.png", "a.png"},            {"", ""},                    {"/pics/dir/", "dir/"},
      {"/pics//a.png", "a.png"},     {"/", "/"},                  {"页面/图片 1.png", "图片 1.png"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(GetFileNameOfPath(c.in), c.out) << c.in;
}

TEST(PathText, ProgramLocation) {
  const std::string exe = GetExePath();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe.front(), '/');
  EXPECT_EQ(GetFileNameOfPath(exe), "test_common");
  const std::string dir = GetExeDir(false);
  EXPECT_NE(dir.back(), '/');
  EXPECT_EQ(GetExeDir(true), dir + "/");
  EXPECT_EQ(exe, dir + "/test_common");
  EXPECT_TRUE(DirectoryExists(dir));
}

class ResolveRelativePathTest : public PathFiles {
 protected:
  void Ref(const std::string& bytes) { Put(At("config_ref.ini"), bytes); }
};

TEST_F(ResolveRelativePathTest, AbsolutePathsComeBackUnchanged) {
  Ref("[redirection]\ndir=logs\n");
  for (const char* p : {"C:\\x", "\\\\srv\\x", "/var/x", "D:rel", ""})
    EXPECT_EQ(ResolveRelativePath(p, dir_), p);
}

TEST_F(ResolveRelativePathTest, RelativePathsGoUnderTheRedirection) {
  const struct {
    const char* name;
    std::string ini;  // empty: no config_ref.ini
    std::string expected;
  } cases[] = {
      {"no INI", "", dir_ + "/alarm_history"},
      {"no key", "[other]\ndir=logs\n", dir_ + "/alarm_history"},
      {"empty dir", "[redirection]\ndir=\n", dir_ + "/alarm_history"},
      {"relative dir", "[redirection]\ndir=logs\n", dir_ + "/logs/alarm_history"},
      {"relative dir with slash", "[Redirection]\nDir=logs/\n", dir_ + "/logs/alarm_history"},
      {"absolute dir", "[redirection]\ndir=/srv/data\n", "/srv/data/alarm_history"},
      {"drive dir", "[redirection]\ndir=D:\\data\n", "D:\\data/alarm_history"},
      {"drive dir with backslash", "[redirection]\ndir=D:\\data\\\n", "D:\\data\\alarm_history"},
      {"not normalised", "[redirection]\ndir=./a/../b\n", dir_ + "/./a/../b/alarm_history"},
  };
  for (const auto& c : cases) {
    unlink(At("config_ref.ini").c_str());
    if (!c.ini.empty()) Ref(c.ini);
    EXPECT_EQ(ResolveRelativePath("alarm_history", dir_), c.expected) << c.name;
    EXPECT_EQ(ResolveRelativePath("alarm_history", dir_ + "/"), c.expected) << c.name;
  }
}

TEST(ResolveRelativePath, UsesTheProgramDirectory) {
  EXPECT_EQ(ResolveRelativePath(""), "");
  EXPECT_EQ(ResolveRelativePath("/var/x"), "/var/x");
  if (access((GetExeDir(true) + "config_ref.ini").c_str(), F_OK) == 0)
    GTEST_SKIP() << "a config_ref.ini lies next to the test program";
  EXPECT_EQ(ResolveRelativePath("alarm_history"), GetExeDir(true) + "alarm_history");
}

TEST_F(PathFiles, DirectoryExists) {
  Put(At("file"), "x");
  ASSERT_EQ(symlink(dir_.c_str(), At("link").c_str()), 0);
  const struct {
    std::string path;
    bool exists;
  } cases[] = {
      {dir_, true},        {dir_ + "/", true},   {At("link"), true},   {"/", true},
      {At("file"), false}, {At("none"), false},  {"", false},          {At("file/x"), false},
  };
  for (const auto& c : cases) EXPECT_EQ(DirectoryExists(c.path), c.exists) << c.path;
}

TEST_F(PathFiles, RenameFileMovesWithoutReplacing) {
  Put(At("a"), "A");
  Put(At("b"), "B");
  EXPECT_FALSE(RenameFile(At("a"), At("b")));
  EXPECT_EQ(Contents(At("a")), "A");
  EXPECT_EQ(Contents(At("b")), "B");

  EXPECT_TRUE(RenameFile(At("a"), At("c")));
  EXPECT_FALSE(Exists(At("a")));
  EXPECT_EQ(Contents(At("c")), "A");

  EXPECT_FALSE(RenameFile(At("none"), At("d")));
  EXPECT_FALSE(Exists(At("d")));
  EXPECT_FALSE(RenameFile("", At("d")));
  EXPECT_FALSE(RenameFile(At("c"), ""));
  EXPECT_EQ(Contents(At("c")), "A");

  ASSERT_EQ(mkdir(At("folder").c_str(), 0755), 0);
  Put(At("folder/x"), "X");
  EXPECT_TRUE(RenameFile(At("folder"), At("renamed")));
  EXPECT_EQ(Contents(At("renamed/x")), "X");
}

TEST_F(PathFiles, RenameFileKeepsLongPathsWhole) {
  // Past 260 characters a cut path would name some other file.
  std::string deep = dir_;
  for (int i = 0; i < 4; ++i) {
    deep += "/" + std::string(60, static_cast<char>('a' + i));
    ASSERT_EQ(mkdir(deep.c_str(), 0755), 0);
  }
  const std::string from = deep + "/" + std::string(40, 'x') + "_old.txt";
  const std::string to = deep + "/" + std::string(40, 'x') + "_new.txt";
  ASSERT_GT(to.size(), 260u);
  Put(from, "data");
  ASSERT_TRUE(RenameFile(from, to));
  EXPECT_EQ(Contents(to), "data");
  EXPECT_FALSE(Exists(from));
}

TEST_F(PathFiles, IsSameFile) {
  Put(At("a"), "same");
  Put(At("b"), "same");
  Put(At("c"), "diff!");
  Put(At("d"), "other");  // same size as c
  ASSERT_EQ(mkfifo(At("fifo").c_str(), 0600), 0);
  const timespec t1[2] = {{1000, 0}, {1600000000, 5}};
  const timespec t2[2] = {{1000, 0}, {1600000000, 6}};
  for (const char* n : {"a", "b", "d"}) ASSERT_EQ(utimensat(AT_FDCWD, At(n).c_str(), t1, 0), 0);
  ASSERT_EQ(utimensat(AT_FDCWD, At("c").c_str(), t2, 0), 0);

  const struct {
    std::string a, b;
    bool same;
  } cases[] = {
      {"", "", true},
      {"", At("a"), false},
      {At("a"), "", false},
      {"c:\\A.txt", "C:\\a.TXT", true},       // equal text: nothing opened
      {At("none1"), At("none2"), true},        // neither opens
      {At("a"), At("none"), false},
      {At("none"), At("a"), false},
      {At("a"), At("b"), true},                // equal size and time
      {At("a"), At("c"), false},
      {At("c"), At("d"), false},               // equal size, time differs by 1 ns
      {At("fifo"), At("a"), false},            // opening a FIFO must not wait for a writer
  };
  for (const auto& c : cases) EXPECT_EQ(IsSameFile(c.a, c.b), c.same) << c.a << " | " << c.b;
}

TEST(StartupGuards, WinsockGuardStopsSigpipe) {
  InitWinsockOnce();
  InitWinsockOnce();
  struct sigaction current {};
  ASSERT_EQ(sigaction(SIGPIPE, nullptr, &current), 0);
  EXPECT_EQ(current.sa_handler, SIG_IGN);

  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
  close(fds[1]);
  errno = 0;
  EXPECT_EQ(write(fds[0], "x", 1), -1);  // would kill the process without the guard
  EXPECT_EQ(errno, EPIPE);
  close(fds[0]);
}

TEST(TextHelpers, Utf8ToCString) {
  const struct {
    const char* bytes;
    std::size_t count;
    std::string out;
  } cases[] = {
      {nullptr, 4, ""},
      {"abc", 0, ""},
      {"\0abc", 4, ""},
      {"abc", 3, "abc"},
      {"abcdef", 2, "ab"},
      {"页面1", 3, "页"},
      {"页面1", 4, ""},            // ends inside a character
      {"abc\0def", 7, "abc"},
      {"ab\0\xFF", 4, ""},         // all the bytes are converted, even past a NUL
      {"\xC3(", 2, ""},           // a lead byte without its continuation
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToCString(c.bytes, c.count), c.out) << c.count;
}

TEST(TextHelpers, ParseIPv4) {
  uint32_t addr = 0;
  ASSERT_TRUE(ParseIPv4("192.168.1.1", addr));
  unsigned char bytes[4];
  std::memcpy(bytes, &addr, 4);
  EXPECT_EQ(bytes[0], 0xC0);
  EXPECT_EQ(bytes[1], 0xA8);
  EXPECT_EQ(bytes[2], 0x01);
  EXPECT_EQ(bytes[3], 0x01);
  EXPECT_TRUE(ParseIPv4("0.0.0.0", addr));
  EXPECT_EQ(addr, 0u);
  EXPECT_TRUE(ParseIPv4("255.255.255.255", addr));
  EXPECT_EQ(addr, 0xFFFFFFFFu);

  for (const std::string& bad :
       {std::string("192.168.1"), std::string("256.1.1.1"), std::string(""), std::string(" 1.2.3.4"),
        std::string("1.2.3.4 "), std::string("1.2.3.4.5"), std::string("1.2.3.4\0junk", 12),
        std::string("１.２.３.４"), std::string("::1"), std::string("a.b.c.d")}) {
    addr = 0x12345678;
    EXPECT_FALSE(ParseIPv4(bad, addr)) << bad;
    EXPECT_EQ(addr, 0x12345678u) << bad;
  }
}

TEST(TextHelpers, IsValidName) {
  for (const char* good : {"页面1", "a.b", "A_b-9", "一", "\xE9\xBE\xBB" /* U+9FBB */, "a.b.c"})
    EXPECT_TRUE(IsValidName(good)) << good;
  for (const char* bad : {"", ".a", "a.", "a..b", "a b", "a/b", "a\\b", ".",
                          "\xE9\xBE\xBC" /* U+9FBC */, "\xE4\xB7\xBF" /* U+4DFF */, "ａ", "页面，",
                          "\xF0\x9F\x98\x80", "a\xFF"})
    EXPECT_FALSE(IsValidName(bad)) << bad;
}

TEST(TextHelpers, SplitText) {
  const struct {
    std::string text, sep;
    std::vector<std::string> pieces;
  } cases[] = {
      {"", ",", {}},
      {"a,b", "", {"a,b"}},
      {"a", ",", {"a"}},
      {",a,", ",", {"", "a", ""}},
      {"a,,b", ",", {"a", "", "b"}},
      {"a::b::", "::", {"a", "b", ""}},
      {"页，面", "，", {"页", "面"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> list{"kept"};
    SplitText(c.text, c.sep, list);
    std::vector<std::string> expected{"kept"};
    expected.insert(expected.end(), c.pieces.begin(), c.pieces.end());
    EXPECT_EQ(list, expected) << c.text;
  }
}

}  // namespace
