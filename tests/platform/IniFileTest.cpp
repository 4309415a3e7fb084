#include "platform/IniFile.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace NsOvrin::NsPlatform;

namespace {

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/ini_test_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    path_ = dir_ + "/test.ini";
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  void Put(const std::string& bytes) { Put(path_, bytes); }
  static void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::string Contents() const { return Contents(path_); }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  std::vector<std::string> DirEntries() const {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir_.c_str())) {
      while (dirent* e = readdir(d))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
      closedir(d);
    }
    return names;
  }

  std::string dir_, path_;
};

struct ReadCase {
  const char* name;
  std::string file;
  std::string section, key;
  std::string expected;
  std::size_t maxChars = 1024;
};

TEST_F(IniFileTest, ReadsWithProfileSemantics) {
  const ReadCase cases[] = {
      {"plain", "[redirection]\ndir=logs\n", "redirection", "dir", "logs"},
      {"case-insensitive names", "[Redirection]\nDIR=logs\n", "REDIRECTION", "Dir", "logs"},
      {"blanks trimmed", "  [ redirection ]  \n  dir  =  D:\\data  \t\n", "redirection", " dir ", "D:\\data"},
      {"double quotes", "[s]\nk=\" padded \"\n", "s", "k", " padded "},
      {"single quotes", "[s]\nk='x'\n", "s", "k", "x"},
      {"unmatched quotes kept", "[s]\nk=\"x'\n", "s", "k", "\"x'"},
      {"one quote kept", "[s]\nk=\"\n", "s", "k", "\""},
      {"empty value", "[s]\nk=\n", "s", "k", ""},
      {"value holds '='", "[s]\nk=a=b\n", "s", "k", "a=b"},
      {"first key wins", "[s]\nk=1\nk=2\n", "s", "k", "1"},
      // Only the first section of a name is searched.
      {"second section of the same name", "[s]\na=1\n[t]\nk=0\n[S]\nk=2\n", "s", "k", "default"},
      {"key in both sections of the name", "[s]\nk=1\n[S]\nk=2\n", "S", "k", "1"},
      {"empty first section", "[s]\n[s]\nk=2\n", "s", "k", "default"},
      {"key of another section", "[t]\nk=1\n[s]\nj=2\n", "s", "k", "default"},
      {"comment line", "[s]\n;k=1\n  ; k=2\nk=3\n", "s", "k", "3"},
      {"commented-out section", ";[s]\nk=1\n", "s", "k", "default"},
      {"key without '='", "[s]\nk\n", "s", "k", "default"},
      {"keys before any section", "k=1\n[s]\n", "s", "k", "default"},
      {"header without ']'", "[s]\n[t\nk=1\n", "s", "k", "1"},
      {"CRLF", "[s]\r\nk=v\r\nj=w\r\n", "s", "j", "w"},
      {"BOM", "\xEF\xBB\xBF[s]\nk=v\n", "s", "k", "v"},
      {"no final line end", "[s]\nk=v", "s", "k", "v"},
      {"CP936 file", "[s]\nk=\xD6\xD0\xCE\xC4\n", "s", "k", "中文"},
      {"missing section", "[t]\nk=1\n", "s", "k", "default"},
      {"empty key asked", "[s]\n=1\n", "s", "", "default"},
      {"cut to maxChars - 1", "[s]\nk=abcdef\n", "s", "k", "abc", 4},
      {"cut counts UTF-16 units", "[s]\nk=页面测试\n", "s", "k", "页面", 3},
      {"pair not split", "[s]\nk=a\xF0\x9F\x98\x80\n", "s", "k", "a", 3},
      {"pair fits", "[s]\nk=a\xF0\x9F\x98\x80\n", "s", "k", "a\xF0\x9F\x98\x80", 4},
      {"maxChars 1", "[s]\nk=abc\n", "s", "k", "", 1},
      {"maxChars 0", "[s]\nk=abc\n", "s", "k", "", 0},
  };
  for (const ReadCase& c : cases) {
    Put(c.file);
    EXPECT_EQ(GetProfileString(path_, c.section, c.key, "default", c.maxChars), c.expected) << c.name;
  }
}

TEST_F(IniFileTest, MissingOrUnreadableFileGivesDefault) {
  EXPECT_EQ(GetProfileString(dir_ + "/none.ini", "s", "k", "dflt"), "dflt");
  EXPECT_EQ(GetProfileString(dir_ + "/none/x.ini", "s", "k", "dflt"), "dflt");
  EXPECT_EQ(GetProfileString(dir_, "s", "k", "dflt"), "dflt");  // a folder
  EXPECT_EQ(GetProfileString(dir_ + "/none.ini", "s", "k", "abcdef", 3), "ab");
  // Nobody writes to it: reading must not wait.
  ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
  EXPECT_EQ(GetProfileString(path_, "s", "k", "dflt"), "dflt");
}

struct WriteCase {
  const char* name;
  std::string before;
  std::string section, key, value;
  std::string after;
};

TEST_F(IniFileTest, WritesOneKeyAndKeepsTheRest) {
  const WriteCase cases[] = {
      {"new file", "", "s", "k", "v", "[s]\nk=v\n"},
      {"replace", "; head\n[s]\n a = 1 \nb=2\n", "s", "a", "x y", "; head\n[s]\na=x y\nb=2\n"},
      {"replace keeps the stored spelling", "[S]\nKey=1\n", "s", "key", "2", "[S]\nKey=2\n"},
      {"replace the first of two", "[s]\nk=1\nk=2\n", "s", "k", "3", "[s]\nk=3\nk=2\n"},
      {"value with backslashes", "[s]\nk=1\n", "s", "k", "D:\\data\\", "[s]\nk=D:\\data\\\n"},
      {"append to the section", "[s]\na=1\n\n; about t\n[t]\nb=2\n", "s", "k", "v",
       "[s]\na=1\nk=v\n\n; about t\n[t]\nb=2\n"},
      {"append to an empty section", "[s]\n[t]\n", "s", "k", "v", "[s]\nk=v\n[t]\n"},
      {"new section", "[s]\na=1", "t", "k", "v", "[s]\na=1\n\n[t]\nk=v\n"},
      {"new section after a blank line", "[s]\na=1\n\n", "t", "k", "v", "[s]\na=1\n\n[t]\nk=v\n"},
      {"CRLF kept", "[s]\r\na=1\r\n", "s", "b", "2", "[s]\r\na=1\r\nb=2\r\n"},
      {"BOM kept", "\xEF\xBB\xBF[s]\na=1\n", "s", "a", "2", "\xEF\xBB\xBF[s]\na=2\n"},
      {"CP936 file becomes UTF-8", "[s]\nk=\xD6\xD0\n", "s", "j", "文", "[s]\nk=中\nj=文\n"},
      {"the first section of the name takes the key", "[s]\na=1\n[t]\n[S]\nk=2\n", "s", "k", "3",
       "[s]\na=1\nk=3\n[t]\n[S]\nk=2\n"},
      {"the first section of the name replaces the key", "[s]\nk=1\n[S]\nk=2\n", "S", "k", "3",
       "[s]\nk=3\n[S]\nk=2\n"},
  };
  for (const WriteCase& c : cases) {
    if (c.before.empty())
      unlink(path_.c_str());
    else
      Put(c.before);
    ASSERT_TRUE(WriteProfileString(path_, c.section, c.key, c.value)) << c.name;
    EXPECT_EQ(Contents(), c.after) << c.name;
  }
  EXPECT_EQ(DirEntries(), std::vector<std::string>{"test.ini"});  // no temporary left over
}

TEST_F(IniFileTest, WrittenValuesReadBack) {
  ASSERT_TRUE(WriteProfileString(path_, "redirection", "dir", "D:\\数据"));
  ASSERT_TRUE(WriteProfileString(path_, "serial_ports", "COM3", "/dev/ttyUSB0"));
  ASSERT_TRUE(WriteProfileString(path_, "Redirection", "DIR", "logs"));
  EXPECT_EQ(GetProfileString(path_, "redirection", "dir", ""), "logs");
  EXPECT_EQ(GetProfileString(path_, "serial_ports", "com3", ""), "/dev/ttyUSB0");
}

TEST_F(IniFileTest, RefusesWhatWouldNotReadBack) {
  const std::string before = "[s]\nk=1\n";
  Put(before);
  const struct {
    std::string section, key, value;
  } cases[] = {
      {"", "k", "v"},     {" ", "k", "v"},       {"s", "", "v"},       {"s", "a=b", "v"},
      {"s", ";k", "v"},   {"s", "[k", "v"},      {"s", "k", "a\nb"},   {"s", "k", "a\r"},
      {"s\n[t]", "k", "v"}, {"s", "k\nj", "v"}, {"s", "k", std::string("a\0b", 3)},
      {"s", "k", "\xFF"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(WriteProfileString(path_, c.section, c.key, c.value)) << c.section << "|" << c.key;
    EXPECT_EQ(Contents(), before);
  }
}

TEST_F(IniFileTest, FailsWithoutTouchingWhatItCannotRead) {
  EXPECT_FALSE(WriteProfileString(dir_ + "/none/x.ini", "s", "k", "v"));  // no such folder
  EXPECT_FALSE(WriteProfileString(dir_, "s", "k", "v"));                  // a folder
  EXPECT_FALSE(WriteProfileString("", "s", "k", "v"));
  ASSERT_EQ(mkfifo((dir_ + "/fifo.ini").c_str(), 0600), 0);
  EXPECT_FALSE(WriteProfileString(dir_ + "/fifo.ini", "s", "k", "v"));
  struct stat st {};
  ASSERT_EQ(lstat((dir_ + "/fifo.ini").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  if (geteuid() != 0) {
    Put("[s]\nk=secret\n");
    chmod(path_.c_str(), 0200);  // writable, not readable: replacing it would lose its keys
    EXPECT_FALSE(WriteProfileString(path_, "s", "j", "v"));
    chmod(path_.c_str(), 0600);
    EXPECT_EQ(Contents(), "[s]\nk=secret\n");
  }
}

// Runs the write as a user who may write the test's files but not its
// folder: the test's own user, or for root (who may write anywhere) an
// unprivileged one in a child process.
bool WriteAsUnprivileged(const std::function<bool()>& write) {
  if (geteuid() != 0) return write();
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    _exit(write() ? 0 : 1);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(IniFileTest, AFolderThatTakesNoNewFileHasItsFileWrittenInPlace) {
  Put("[default_app_]\r\nShowIoAddr=0\r\nOther=x\r\n");
  const std::string other = dir_ + "/other.ini";
  Put(other, "[s]\nk=1\n");
  chmod(path_.c_str(), 0666);
  chmod(other.c_str(), 0644);
  struct stat before {};
  ASSERT_EQ(stat(path_.c_str(), &before), 0);
  chmod(dir_.c_str(), 0555);

  EXPECT_TRUE(WriteAsUnprivileged(
      [this] { return WriteProfileString(path_, "default_app_", "ShowIoAddr", "1"); }));
  // A longer value, then a shorter one: the file is cut to its new length.
  EXPECT_TRUE(WriteAsUnprivileged(
      [this] { return WriteProfileString(path_, "default_app_", "Other", "a longer value"); }));
  EXPECT_TRUE(WriteAsUnprivileged(
      [this] { return WriteProfileString(path_, "default_app_", "Other", "y"); }));
  // A file that may not be written, and one that does not exist, fail.
  EXPECT_FALSE(WriteAsUnprivileged([&] { return WriteProfileString(other, "s", "k", "2"); }));
  EXPECT_FALSE(WriteAsUnprivileged(
      [this] { return WriteProfileString(dir_ + "/new.ini", "s", "k", "v"); }));
  chmod(dir_.c_str(), 0755);

  EXPECT_EQ(Contents(), "[default_app_]\r\nShowIoAddr=1\r\nOther=y\r\n");
  EXPECT_EQ(GetProfileString(path_, "default_app_", "ShowIoAddr", ""), "1");
  struct stat after {};
  ASSERT_EQ(stat(path_.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the same file, not a replacement";
  EXPECT_EQ(Contents(other), "[s]\nk=1\n");
  std::vector<std::string> entries = DirEntries();
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"other.ini", "test.ini"}));
}

TEST_F(IniFileTest, KeepsModeAndSymlink) {
  const std::string real = dir_ + "/real.ini";
  Put(real, "[s]\nk=1\n");
  chmod(real.c_str(), 0640);
  ASSERT_EQ(symlink(real.c_str(), path_.c_str()), 0);
  ASSERT_TRUE(WriteProfileString(path_, "s", "k", "2"));
  struct stat st;
  ASSERT_EQ(lstat(path_.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Contents(real), "[s]\nk=2\n");
}

TEST_F(IniFileTest, ConcurrentWritersLoseNoKey) {
  constexpr int kThreads = 8, kKeys = 20;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([this, t] {
      for (int k = 0; k < kKeys; ++k)
        WriteProfileString(path_, "s", "k" + std::to_string(t) + "_" + std::to_string(k), "v");
    });
  for (auto& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t)
    for (int k = 0; k < kKeys; ++k)
      EXPECT_EQ(GetProfileString(path_, "s", "k" + std::to_string(t) + "_" + std::to_string(k), "-"), "v");
}

}  // namespace
