// Which files a failed replacement names, and why: every way a real write
// fails in a temporary folder, seen by the recorders that live around it.
#include "platform/AtomicFile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "support/WriteBlockers.h"

using namespace NsOvrin::NsPlatform;
using NsOvrin::Testing::FileSizeLimit;
using NsOvrin::Testing::UnprivilegedUser;

namespace {

class WriteFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/write_failure_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    // "nobody" may pass through to the folder it cannot write.
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
    std::ofstream(At("file")) << "old";
    ASSERT_EQ(::mkdir(At("folder").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(At("folder/full").c_str(), 0755), 0);
    std::ofstream(At("folder/full/x")) << "x";
    ASSERT_EQ(::mkdir(At("locked").c_str(), 0555), 0);
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  std::string At(const std::string& name) const { return dir_ + "/" + name; }

  std::string dir_;
};

TEST_F(WriteFailureTest, EveryFailedReplacementIsNotedWithItsPathAndReason) {
  struct Case {
    const char* name;
    std::string path;
    int error;
    enum { kPlain, kSizeLimit, kUnprivileged } blocker;
  };
  const std::vector<Case> cases = {
      {"missing folder", At("gone/main_.ql"), ENOENT, Case::kPlain},
      {"file replaced by a folder", At("folder"), EISDIR, Case::kPlain},
      {"file replaced by a folder with content", At("folder/full"), EISDIR, Case::kPlain},
      {"path under a regular file", At("file/main_.ql"), ENOTDIR, Case::kPlain},
      {"path ending in a slash", At("folder/"), EISDIR, Case::kPlain},
      {"empty path", "", EINVAL, Case::kPlain},
      {"full disk", At("big"), EFBIG, Case::kSizeLimit},
      {"folder that cannot be written", At("locked/main_.ql"), EACCES, Case::kUnprivileged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFailureRecorder outer;
    bool written = true;
    {
      WriteFailureRecorder inner;
      if (c.blocker == Case::kSizeLimit) {
        FileSizeLimit limit(4);
        ASSERT_TRUE(limit.Active());
        written = ReplaceFileAtomically(c.path, std::string(64, 'x'));
      } else if (c.blocker == Case::kUnprivileged) {
        UnprivilegedUser nobody;
        if (!nobody.Active()) GTEST_SKIP() << "root cannot act as nobody here";
        written = ReplaceFileAtomically(c.path, "content");
      } else {
        written = ReplaceFileAtomically(c.path, "content");
      }
      EXPECT_FALSE(written);
      EXPECT_EQ(errno, c.error) << std::strerror(errno);
      EXPECT_EQ(inner.Failures(), (std::vector<WriteFailure>{{c.path, c.error}}));
    }
    // Every recorder around the write hears of it.
    EXPECT_EQ(outer.Failures(), (std::vector<WriteFailure>{{c.path, c.error}}));
  }
  // Nothing half-written is left beside the targets.
  EXPECT_FALSE(std::ifstream(At("big")).good());
}

TEST_F(WriteFailureTest, AWriterThatRefusesBeforeTheDiskIsNotedOnceAndSuccessNotAtAll) {
  WriteFailureRecorder recorder;
  EXPECT_TRUE(ReplaceFileAtomically(At("file"), "new"));
  EXPECT_TRUE(WriteNoted(At("file"), [](const std::string& path) { return ReplaceFileAtomically(path, "n"); }));
  EXPECT_TRUE(recorder.Failures().empty());

  // Refused its data: the file is named all the same.
  EXPECT_FALSE(WriteNoted(At("refused"), [](const std::string&) { return false; }));
  // Failed on the disk: noted once, with the disk's reason.
  EXPECT_FALSE(WriteNoted(At("folder"), [](const std::string& path) { return ReplaceFileAtomically(path, "n"); }));
  EXPECT_EQ(recorder.Failures(),
            (std::vector<WriteFailure>{{At("refused"), EINVAL}, {At("folder"), EISDIR}}));
}

TEST_F(WriteFailureTest, NoRecorderNoNoteAndTheReasonReadsAsTheSystemSaysIt) {
  EXPECT_FALSE(ReplaceFileAtomically(At("folder"), "content"));
  WriteFailureRecorder later;
  EXPECT_TRUE(later.Failures().empty());
  for (const int error : {EISDIR, ENOSPC, EACCES, EFBIG}) {
    SCOPED_TRACE(error);
    EXPECT_EQ(DescribeError(error), std::strerror(error));
  }
}

}  // namespace
