// Files of one folder replaced together: nothing moves until every new
// content is on disk, a record written whole is carried out by the next
// open or save, and a record that is not one of ours moves nothing.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "support/FailingReads.h"
#include "support/WriteBlockers.h"

using namespace NsOvrin::NsPlatform;
using NsOvrin::Testing::FileSizeLimit;

namespace {

namespace fs = std::filesystem;

class FolderCommitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/folder_commit_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    Write("A.ovpg", "content of A");
    Write("B.ovpg", "content of B");
    Write("main", "lists A and B");
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::string& text) { std::ofstream(dir_ + "/" + name) << text; }
  std::string Read(const std::string& name) const {
    std::ifstream in(dir_ + "/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return in ? text.str() : "<missing>";
  }
  // Every entry of the folder but the three files, as the commit left it.
  std::vector<std::string> Others() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      const std::string name = entry.path().filename().string();
      if (name != "A.ovpg" && name != "B.ovpg" && name != "main") names.push_back(name);
    }
    return names;
  }

  std::string dir_;
};

TEST_F(FolderCommitTest, SwappedContentsTakeTheirPlacesTogetherOrNotAtAll) {
  {
    FolderCommit commit(dir_);
    ASSERT_TRUE(commit.StageCopy("A.ovpg", dir_ + "/B.ovpg"));
    ASSERT_TRUE(commit.StageCopy("B.ovpg", dir_ + "/A.ovpg"));
    ASSERT_TRUE(commit.Stage("main", "lists B and A"));
    // Staged only: the folder is as it was.
    EXPECT_EQ(Read("A.ovpg"), "content of A");
    EXPECT_EQ(Read("main"), "lists A and B");
    ASSERT_TRUE(commit.Commit());
  }
  EXPECT_EQ(Read("A.ovpg"), "content of B");
  EXPECT_EQ(Read("B.ovpg"), "content of A");
  EXPECT_EQ(Read("main"), "lists B and A");
  EXPECT_EQ(Others(), std::vector<std::string>{});

  // One staging that fails: nothing moves, nothing is left behind.
  {
    FolderCommit commit(dir_);
    ASSERT_TRUE(commit.Stage("A.ovpg", "new A"));
    WriteFailureRecorder failures;
    {
      FileSizeLimit full(8);
      ASSERT_TRUE(full.Active());
      EXPECT_FALSE(commit.Stage("B.ovpg", "a new B that does not fit"));
    }
    ASSERT_EQ(failures.Failures().size(), 1u);
    EXPECT_EQ(failures.Failures()[0], (WriteFailure{dir_ + "/B.ovpg", EFBIG}));
    // Given up: the commit goes without committing.
  }
  EXPECT_EQ(Read("A.ovpg"), "content of B");
  EXPECT_EQ(Read("B.ovpg"), "content of A");
  EXPECT_EQ(Others(), std::vector<std::string>{});

  // A source whose reading fails part-way is no content: nothing staged.
  {
    Write("big", std::string(200000, 'x'));
    NsOvrin::Testing::FailingReads failing(dir_ + "/big", 1);
    ASSERT_TRUE(failing.Active());
    FolderCommit commit(dir_);
    WriteFailureRecorder failures;
    EXPECT_FALSE(commit.StageCopy("A.ovpg", dir_ + "/big"));
    EXPECT_EQ(failures.Failures(), (std::vector<WriteFailure>{{dir_ + "/A.ovpg", EIO}}));
    EXPECT_TRUE(commit.Commit());
    fs::remove(dir_ + "/big");
  }
  EXPECT_EQ(Read("A.ovpg"), "content of B");
  EXPECT_EQ(Others(), std::vector<std::string>{});

  // A folder where a file is to go refuses the staging, before any record.
  fs::remove(dir_ + "/B.ovpg");
  fs::create_directories(dir_ + "/B.ovpg/kept");
  FolderCommit blocked(dir_);
  WriteFailureRecorder failures;
  EXPECT_FALSE(blocked.Stage("B.ovpg", "x"));
  EXPECT_EQ(failures.Failures(), (std::vector<WriteFailure>{{dir_ + "/B.ovpg", EISDIR}}));
}

// A step that fails after the record leaves the commit standing: the rest
// waits in order (the main file not before the page), and the next call
// carries it out once it can.
TEST_F(FolderCommitTest, AStepThatFailsAfterTheRecordIsCarriedOutLater) {
  FolderCommit commit(dir_);
  ASSERT_TRUE(commit.Stage("A.ovpg", "new A"));
  ASSERT_TRUE(commit.Stage("B.ovpg", "new B"));
  ASSERT_TRUE(commit.Stage("main", "lists the new A and B"));
  // Made a folder after it was staged.
  fs::remove(dir_ + "/B.ovpg");
  fs::create_directories(dir_ + "/B.ovpg/kept");
  WriteFailureRecorder failures;
  EXPECT_FALSE(commit.Commit());
  EXPECT_TRUE(commit.Recorded());
  ASSERT_EQ(failures.Failures().size(), 1u);
  EXPECT_EQ(failures.Failures()[0].path, dir_ + "/B.ovpg");
  EXPECT_EQ(Read("A.ovpg"), "new A");
  EXPECT_EQ(Read("main"), "lists A and B") << "not before B";
  EXPECT_TRUE(fs::exists(CommitRecordPath(dir_)));
  EXPECT_EQ(RemoveStaleSaveTemporaries(dir_), 0) << "its files are kept";
  EXPECT_FALSE(CompletePendingCommit(dir_));

  fs::remove_all(dir_ + "/B.ovpg");
  EXPECT_TRUE(CompletePendingCommit(dir_));
  EXPECT_EQ(Read("B.ovpg"), "new B");
  EXPECT_EQ(Read("main"), "lists the new A and B");
  EXPECT_EQ(Others(), std::vector<std::string>{});
}

TEST_F(FolderCommitTest, RemovalsGoWithTheCommitAndLeaveFoldersAlone) {
  fs::create_directories(dir_ + "/C.ovpg");
  FolderCommit commit(dir_);
  ASSERT_TRUE(commit.Stage("main", "lists A"));
  commit.Remove("B.ovpg");
  commit.Remove("C.ovpg");
  commit.Remove("gone.ovpg");
  commit.Remove("../outside");
  EXPECT_EQ(Read("B.ovpg"), "content of B") << "not before the commit";
  ASSERT_TRUE(commit.Commit());
  EXPECT_EQ(Read("B.ovpg"), "<missing>");
  EXPECT_TRUE(fs::is_directory(dir_ + "/C.ovpg"));
  EXPECT_EQ(Read("main"), "lists A");
}

// A save killed after its record: the temporaries of a process gone, and the
// record that names them. The next open carries it out, whatever part of it
// had been done; the stale temporaries are not removed before.
TEST_F(FolderCommitTest, ARecordLeftBehindIsCarriedOutByTheNextOpen) {
  const std::string tempA = ".ovrin-save-999999999-1.tmp";
  const std::string tempMain = ".ovrin-save-999999999-2.tmp";
  Write(tempMain, "lists B and A");
  // The rename of A's temporary already happened.
  Write("A.ovpg", "content of B");
  Write(CommitRecordPath(dir_).substr(dir_.size() + 1),
        "ovrin-commit 1\nR " + tempA + "/A.ovpg\nR " + tempMain + "/main\nD B.ovpg\n");

  EXPECT_EQ(RemoveStaleSaveTemporaries(dir_), 0);
  EXPECT_EQ(Read("A.ovpg"), "content of B");
  EXPECT_EQ(Read("main"), "lists B and A");
  EXPECT_EQ(Read("B.ovpg"), "<missing>");
  EXPECT_EQ(Others(), std::vector<std::string>{});
}

TEST_F(FolderCommitTest, ARecordThatIsNotOneOfOursMovesNothing) {
  const std::string temp = ".ovrin-save-999999999-1.tmp";
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"no header", "R " + temp + "/A.ovpg\n"},
      {"cut in a line", "ovrin-commit 1\nR " + temp + "/A.ov"},
      {"a source that is no temporary", "ovrin-commit 1\nR main/A.ovpg\n"},
      {"a target out of the folder", "ovrin-commit 1\nR " + temp + "/../A.ovpg\n"},
      {"a removal out of the folder", "ovrin-commit 1\nD ../x\n"},
      {"a removal of the folder itself", "ovrin-commit 1\nD ..\n"},
      {"an unknown step", "ovrin-commit 1\nX A.ovpg\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Write(temp, "staged");
    Write(".ovrin-save-commit", c.text);
    EXPECT_TRUE(CompletePendingCommit(dir_));
    EXPECT_EQ(Read("A.ovpg"), "content of A");
    EXPECT_EQ(Read("B.ovpg"), "content of B");
    EXPECT_EQ(Read("main"), "lists A and B");
    EXPECT_EQ(Read(".ovrin-save-commit"), "<missing>") << "dropped";
  }
}

}  // namespace
