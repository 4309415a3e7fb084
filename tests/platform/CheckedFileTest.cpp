// The checked open, read and copy of files, and the removal of temporaries
// left by saves that died, against real entries of every kind in a
// temporary folder.
#include "platform/CheckedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"

using namespace NsOvrin::NsPlatform;

namespace {

class CheckedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/checked_file_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    Put(At("file"), "content\n");
    Put(At("empty"), "");
    ASSERT_EQ(::mkdir(At("folder").c_str(), 0700), 0);
    // Nothing ever writes to it: a blocking open would wait for ever.
    ASSERT_EQ(::mkfifo(At("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink(At("file").c_str(), At("link").c_str()), 0);
    ASSERT_EQ(::symlink(At("gone").c_str(), At("dangling").c_str()), 0);
    ASSERT_EQ(::symlink(At("fifo").c_str(), At("fifo-link").c_str()), 0);
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

  std::string dir_;
};

struct EntryCase {
  const char* name;
  std::string entry;  // under the test folder; "" for the empty path
  bool readable;
  int error;  // errno of a refused open
  std::string content;
};

// Only regular files (also through a link) are read; nothing blocks.
TEST_F(CheckedFileTest, OnlyRegularFilesOpenReadAndCopy) {
  const std::vector<EntryCase> cases = {
      {"regular file", "file", true, 0, "content\n"},
      {"empty file", "empty", true, 0, ""},
      {"link to a regular file", "link", true, 0, "content\n"},
      {"folder", "folder", false, EISDIR, ""},
      {"FIFO", "fifo", false, EINVAL, ""},
      {"link to a FIFO", "fifo-link", false, EINVAL, ""},
      {"dangling link", "dangling", false, ENOENT, ""},
      {"missing", "missing", false, ENOENT, ""},
      {"empty path", "", false, ENOENT, ""},
  };
  for (const EntryCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = c.entry.empty() ? std::string() : At(c.entry);

    errno = 0;
    const int fd = OpenRegularFileForReading(path);
    EXPECT_EQ(fd >= 0, c.readable);
    if (fd >= 0) {
      // Reads block again like any regular file's.
      EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
      ::close(fd);
    } else {
      EXPECT_EQ(errno, c.error);
    }

    std::string bytes = "stale";
    EXPECT_EQ(ReadRegularFile(path, bytes), c.readable);
    EXPECT_EQ(bytes, c.content);

    const std::string target = At(std::string("copy of ") + c.name);
    Put(target, "old");
    EXPECT_EQ(CopyRegularFile(path, target, false), c.readable);
    // A failed copy leaves the target whole.
    EXPECT_EQ(Contents(target), c.readable ? c.content : std::string("old"));
  }
  // The device a console may hand over is no regular file either.
  EXPECT_LT(OpenRegularFileForReading("/dev/null"), 0);
  EXPECT_LT(OpenRegularFileForReading(At("file") + std::string(1, '\0') + "x"), 0);
}

TEST_F(CheckedFileTest, ReadStopsAtTheSizeLimit) {
  std::string bytes;
  EXPECT_TRUE(ReadRegularFile(At("file"), bytes, 8));
  EXPECT_EQ(bytes, "content\n");
  EXPECT_FALSE(ReadRegularFile(At("file"), bytes, 7));
  EXPECT_TRUE(bytes.empty());
}

TEST_F(CheckedFileTest, CopyKeepsTimesOnlyWhenAsked) {
  struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, At("file").c_str(), times, 0), 0);
  ASSERT_EQ(::chmod(At("file").c_str(), 0640), 0);

  ASSERT_TRUE(CopyRegularFile(At("file"), At("kept"), true));
  struct stat st {};
  ASSERT_EQ(::stat(At("kept").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  ASSERT_TRUE(CopyRegularFile(At("file"), At("fresh"), false));
  ASSERT_EQ(::stat(At("fresh").c_str(), &st), 0);
  EXPECT_NE(st.st_mtim.tv_sec, 1000000000);

  // A folder in the target's place is not replaced.
  EXPECT_FALSE(CopyRegularFile(At("file"), At("folder"), false));
  struct stat folder {};
  ASSERT_EQ(::stat(At("folder").c_str(), &folder), 0);
  EXPECT_TRUE(S_ISDIR(folder.st_mode));
}

TEST_F(CheckedFileTest, SameExistingFileComparesTheFileNotTheText) {
  EXPECT_TRUE(SameExistingFile(At("file"), At("link")));
  EXPECT_TRUE(SameExistingFile(At("file"), dir_ + "/./file"));
  EXPECT_FALSE(SameExistingFile(At("file"), At("empty")));
  EXPECT_FALSE(SameExistingFile(At("missing"), At("missing")));
  EXPECT_FALSE(SameExistingFile("", ""));
}

TEST_F(CheckedFileTest, OnlyTemporariesOfSavesThatDiedAreRemoved) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  const std::string dead = std::to_string(child);
  const std::string own = std::to_string(::getpid());
  // Process 1 always runs.
  const std::vector<std::string> removed = {".ovrin-save-" + dead + "-0.tmp", ".ovrin-save-" + dead + "-12.tmp"};
  const std::vector<std::string> kept = {
      ".ovrin-save-" + own + "-3.tmp", ".ovrin-save-1-3.tmp",         ".ovrin-save-" + dead + "-.tmp",
      ".ovrin-save--3.tmp",            ".ovrin-save-" + dead + "-3.tm", ".ovrin-line-" + dead + "-3.tmp",
      "x.ovrin-save-" + dead + "-3.tmp"};
  for (const std::string& name : removed) Put(At(name), "half");
  for (const std::string& name : kept) Put(At(name), "keep");
  const std::string folderNamed = ".ovrin-save-" + dead + "-4.tmp";
  ASSERT_EQ(::mkdir(At(folderNamed).c_str(), 0700), 0);
  const std::string linkNamed = ".ovrin-save-" + dead + "-5.tmp";
  ASSERT_EQ(::symlink(At("file").c_str(), At(linkNamed).c_str()), 0);

  EXPECT_EQ(RemoveStaleSaveTemporaries(dir_), static_cast<int>(removed.size()));
  struct stat st {};
  for (const std::string& name : removed) EXPECT_NE(::lstat(At(name).c_str(), &st), 0) << name;
  for (const std::string& name : kept) EXPECT_EQ(::lstat(At(name).c_str(), &st), 0) << name;
  EXPECT_EQ(::lstat(At(folderNamed).c_str(), &st), 0);
  EXPECT_EQ(::lstat(At(linkNamed).c_str(), &st), 0);
  EXPECT_EQ(Contents(At("file")), "content\n");

  EXPECT_EQ(RemoveStaleSaveTemporaries(dir_ + "/"), 0);
  EXPECT_EQ(RemoveStaleSaveTemporaries(At("missing")), 0);
  EXPECT_EQ(RemoveStaleSaveTemporaries(""), 0);
}

}  // namespace
