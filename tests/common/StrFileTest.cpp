#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "common/StrFile.h"
#include "platform/Format.h"
#include "support/FailingReads.h"
#include "support/WriteBlockers.h"

using namespace NsOvrin;
namespace fs = std::filesystem;

namespace {

// The code-page bytes of "地址,描述".
const std::string kHeaderAcp = "\xB5\xD8\xD6\xB7,\xC3\xE8\xCA\xF6";

// A file's bytes and the lines a reader gives of them.
struct ReadCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> lines;
};

class StrFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/strfile-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  std::string PathOf(const std::string& name) const { return dir_ + "/" + name; }

  static void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
  }

  static std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::vector<std::string> ReadAllLines(const std::string& path) {
    RFileACP reader;
    EXPECT_TRUE(reader.Open(path));
    std::vector<std::string> lines;
    std::string line;
    while (reader.ReadLine(line)) lines.push_back(line);
    // The end is final.
    EXPECT_FALSE(reader.ReadLine(line));
    return lines;
  }

  void ExpectReads(std::span<const ReadCase> cases) {
    for (const ReadCase& c : cases) {
      SCOPED_TRACE(c.name);
      const std::string path = PathOf("in.csv");
      WriteBytes(path, c.bytes);
      EXPECT_EQ(ReadAllLines(path), c.lines);
    }
  }

  // Names in the folder other than the given ones: temporary files left over.
  std::vector<std::string> Leftovers(const std::vector<std::string>& expected) const {
    std::vector<std::string> extra;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      const std::string name = entry.path().filename().string();
      if (std::find(expected.begin(), expected.end(), name) == expected.end()) extra.push_back(name);
    }
    return extra;
  }

  std::string dir_;
};

// ------------------------------------------------------------------ reading

TEST_F(StrFileTest, ReadsLinesOfFile) {
  const std::string longLine(300, 'x');
  // A double-byte character straddles the first 128-byte read.
  const std::string straddling = std::string(127, 'a') + "\xB5\xD8";
  const ReadCase cases[] = {
      {"crlf", "a\r\nb", {"a", "b"}},
      {"final lf adds no line", "a\n", {"a"}},
      {"empty line kept", "a\n\nb", {"a", "", "b"}},
      {"run of cr dropped", "x\r\r\n", {"x"}},
      {"lone cr is no line end", "a\rb\n", {"a\rb"}},
      {"empty file", "", {}},
      {"only a line end", "\r\n", {""}},
      {"long line from several reads", longLine + "\ny", {longLine, "y"}},
      {"double-byte across reads", straddling + "\nz", {std::string(127, 'a') + "地", "z"}},
      {"code page text", kHeaderAcp + "\r\n1,\xC3\xE8\r\n", {"地址,描述", "1,描"}},
      // 0x80 is the one-byte euro sign: the LF after it still ends the line.
      {"euro before lf", "\x80\nz", {"€", "z"}},
      // A malformed lead byte joins no lines and decodes to a replacement.
      {"lead byte before lf", "\xB0\nz", {"\xEF\xBF\xBD", "z"}},
      {"lead byte cut at end", "ab\xB0", {"ab\xEF\xBF\xBD"}},
      {"line starting with nul reads empty", std::string("\0ab\nc", 5), {"", "c"}},
  };
  ExpectReads(cases);
}

// A file that begins with the UTF-8 byte-order mark is UTF-8 (as spreadsheet
// programs save CSV files); any other file is in the code page.
TEST_F(StrFileTest, ReadsAFileThatBeginsWithTheUtf8MarkAsUtf8) {
  const std::string mark = "\xEF\xBB\xBF";
  const std::string hotUtf8 = "\xE6\xB8\xA9\xE5\xBA\xA6\xE8\xBF\x87\xE9\xAB\x98";  // 温度过高
  const std::string hotAcp = "\xCE\xC2\xB6\xC8\xB9\xFD\xB8\xDF";
  const std::string fffd = "\xEF\xBF\xBD";
  // A three-byte character straddles the first 128-byte read.
  const std::string straddling = std::string(126, 'a') + hotUtf8;
  const ReadCase cases[] = {
      {"mark and utf-8", mark + "序号, 警报消息\r\n1, " + hotUtf8 + "\r\n", {"序号, 警报消息", "1, 温度过高"}},
      {"no mark: code page", kHeaderAcp + "\r\n1, " + hotAcp + "\r\n", {"地址,描述", "1, 温度过高"}},
      {"mark only", mark, {}},
      {"mark and a line end", mark + "\r\n", {""}},
      {"empty file", "", {}},
      // Half a mark is code-page text, the character of those two bytes.
      {"mark cut short", "\xEF\xBB\n", {"锘"}},
      {"lone continuation byte", mark + "h\r\na\x80" "b\r\n", {"h", "a" + fffd + "b"}},
      {"sequence cut by the line end", mark + "h\n\xE6\xB8\r\nz", {"h", fffd + fffd, "z"}},
      {"sequence cut at the end of the file", mark + "h\n\xE6\xB8", {"h", fffd + fffd}},
      {"a second mark is text", mark + mark + "x\n", {"\xEF\xBB\xBFx"}},
      {"utf-8 across reads", mark + straddling + "\nz", {std::string(126, 'a') + "温度过高", "z"}},
      {"line starting with nul reads empty", mark + std::string("\0ab\nc", 5), {"", "c"}},
  };
  ExpectReads(cases);
}

// The mark belongs to one file: a reader opened again looks anew.
TEST_F(StrFileTest, EachFileOpenedIsJudgedByItsOwnStart) {
  WriteBytes(PathOf("utf8.csv"), "\xEF\xBB\xBF\xE5\x9C\xB0\n");
  WriteBytes(PathOf("acp.csv"), "\xB5\xD8\n");
  RFileACP reader;
  std::string line;
  for (const char* name : {"utf8.csv", "acp.csv", "utf8.csv"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(reader.Open(PathOf(name)));
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "地");
    EXPECT_FALSE(reader.ReadLine(line));
  }
}

class RulelessReader : public RFileBase {
 public:
  RulelessReader() : RFileBase(nullptr) {}
};

TEST_F(StrFileTest, ReaderRefusesWhatItCannotOpen) {
  RFileACP reader;
  std::string line = "old";
  EXPECT_FALSE(reader.ReadLine(line));  // nothing open
  EXPECT_EQ(line, "old");

  errno = 0;
  EXPECT_FALSE(reader.Open(PathOf("missing.csv")));
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(reader.Open(dir_));
  EXPECT_EQ(errno, EISDIR);
  EXPECT_FALSE(reader.Open(""));
  EXPECT_FALSE(reader.Open(std::string("in\0.csv", 7)));
  EXPECT_FALSE(reader.ReadLine(line));

  WriteBytes(PathOf("in.csv"), "a\n");
  RulelessReader ruleless;
  EXPECT_FALSE(ruleless.Open(PathOf("in.csv")));
  EXPECT_FALSE(ruleless.FillLine());
  EXPECT_FALSE(ruleless.ReadLine(line));
}

TEST_F(StrFileTest, ReopeningDropsBytesOfThePreviousFile) {
  WriteBytes(PathOf("a.csv"), "a1\na2\na3");
  WriteBytes(PathOf("b.csv"), "b1\n");
  RFileACP reader;
  ASSERT_TRUE(reader.Open(PathOf("a.csv")));
  std::string line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "a1");

  ASSERT_TRUE(reader.Open(PathOf("b.csv")));
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "b1");
  EXPECT_FALSE(reader.ReadLine(line));

  // A failed open leaves nothing to read either.
  ASSERT_TRUE(reader.Open(PathOf("a.csv")));
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_FALSE(reader.Open(PathOf("missing.csv")));
  EXPECT_FALSE(reader.ReadLine(line));
}

// A disk error part-way is no end of the file: the reader says so, gives no
// part line and nothing after it, and the next file opened reads whole.
TEST_F(StrFileTest, AFailedReadIsNoEndOfTheFile) {
  const std::string path = PathOf("long.csv");
  std::vector<std::string> all;
  std::string bytes;
  for (int i = 0; i < 200; ++i) {
    all.push_back(NsPlatform::StrFormat("line %03d", i));
    bytes += all.back() + "\r\n";
  }
  WriteBytes(path, bytes);
  // The reads the whole file takes, the one that finds its end included.
  int wholeReads = 0;
  {
    Testing::FailingReads counting(path, 1 << 20);
    ASSERT_TRUE(counting.Active());
    EXPECT_EQ(ReadAllLines(path), all);
    wholeReads = counting.Reads();
  }
  ASSERT_GT(wholeReads, 4);

  // Failing at the first read, the fourth, the last that gives bytes, and
  // the one that would find the end.
  for (const int good : {0, 3, wholeReads - 2, wholeReads - 1}) {
    SCOPED_TRACE(good);
    RFileACP reader;
    ASSERT_TRUE(reader.Open(path));
    EXPECT_FALSE(reader.Failed());
    std::vector<std::string> lines;
    {
      Testing::FailingReads failing(path, good);
      ASSERT_TRUE(failing.Active());
      std::string line;
      while (reader.ReadLine(line)) lines.push_back(line);
      EXPECT_TRUE(reader.Failed());
      EXPECT_EQ(reader.Error(), EIO);
      // Nothing more is given, and the file is not asked again.
      EXPECT_FALSE(reader.ReadLine(line));
      EXPECT_FALSE(reader.FillLine());
      EXPECT_EQ(failing.Failures(), 1);
      EXPECT_EQ(failing.Reads(), good + 1);
    }
    // Whole lines only, in file order.
    ASSERT_LE(lines.size(), all.size());
    EXPECT_EQ(lines, std::vector<std::string>(all.begin(), all.begin() + static_cast<long>(lines.size())));
    if (good == 0) {
      EXPECT_TRUE(lines.empty());
    } else if (good == 3) {
      EXPECT_LT(lines.size(), all.size() / 2);
    } else if (good == wholeReads - 1) {
      EXPECT_EQ(lines.size(), all.size());
    }

    // A file opened afterwards starts without the failure.
    ASSERT_TRUE(reader.Open(path));
    EXPECT_FALSE(reader.Failed());
    std::string line;
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, all.front());
  }
}

// ------------------------------------------------------------------ writing

TEST_F(StrFileTest, WritesCodePageLinesEndedByCrLf) {
  const std::string path = PathOf("out.csv");
  {
    WFileACP writer;
    ASSERT_TRUE(writer.Open(path, CreationDisposition::CreateAlways));
    EXPECT_TRUE(writer.WriteLine("地址,描述"));
    EXPECT_TRUE(writer.WriteLine(""));
    // A character the code page lacks, and a byte that is not UTF-8.
    EXPECT_TRUE(writer.WriteLine("a😀b\xFF" "c"));
    EXPECT_TRUE(writer.Close());
    EXPECT_FALSE(writer.WriteLine("late"));
  }
  EXPECT_EQ(ReadBytes(path), kHeaderAcp + "\r\n\r\na?b?c\r\n");
  EXPECT_TRUE(Leftovers({"out.csv"}).empty());
}

TEST_F(StrFileTest, DestructorPutsTheFileInPlace) {
  const std::string path = PathOf("out.csv");
  WriteBytes(path, "old content\r\n");
  {
    WFileACP writer;
    ASSERT_TRUE(writer.Open(path, CreationDisposition::CreateAlways));
    ASSERT_TRUE(writer.WriteLine("序号, 警报消息"));
    ASSERT_TRUE(writer.WriteLine("1, 温度过高"));
    // Nothing changes before the writer is done.
    EXPECT_EQ(ReadBytes(path), "old content\r\n");
  }
  EXPECT_EQ(ReadAllLines(path), (std::vector<std::string>{"序号, 警报消息", "1, 温度过高"}));
  EXPECT_TRUE(Leftovers({"out.csv"}).empty());
}

// A rule with a header, to see which opens count as a new file.
class HeaderRule : public WFileBase::CodeRule {
 public:
  bool Write(int handle, const std::string& text) override {
    return ::write(handle, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  }
  bool WriteHeader(int handle) override { return Write(handle, "H;"); }
};

class HeaderWriter : public WFileBase {
 public:
  HeaderWriter() : WFileBase(std::make_unique<HeaderRule>()) {}
};

class RulelessWriter : public WFileBase {
 public:
  RulelessWriter() : WFileBase(nullptr) {}
};

TEST_F(StrFileTest, DispositionsDecideOpeningAndHeader) {
  struct Case {
    const char* name;
    CreationDisposition disposition;
    bool exists;
    bool opens;
    int error;             // errno of a refused open
    std::string contents;  // the file afterwards ("" for no file)
  };
  using D = CreationDisposition;
  const Case cases[] = {
      {"create new, missing", D::CreateNew, false, true, 0, "H;x\r\n"},
      {"create new, existing", D::CreateNew, true, false, EEXIST, "old line one\r\nold line two\r\n"},
      {"create always, missing", D::CreateAlways, false, true, 0, "H;x\r\n"},
      {"create always, existing", D::CreateAlways, true, true, 0, "H;x\r\n"},
      {"open existing, missing", D::OpenExisting, false, false, ENOENT, ""},
      // The old, longer content leaves no tail behind the new lines.
      {"open existing, existing", D::OpenExisting, true, true, 0, "x\r\n"},
      {"open always, missing", D::OpenAlways, false, true, 0, "H;x\r\n"},
      {"open always, existing", D::OpenAlways, true, true, 0, "x\r\n"},
      {"truncate existing, missing", D::TruncateExisting, false, false, ENOENT, ""},
      {"truncate existing, existing", D::TruncateExisting, true, true, 0, "H;x\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = PathOf("f.csv");
    std::error_code ec;
    fs::remove(path, ec);
    if (c.exists) WriteBytes(path, "old line one\r\nold line two\r\n");

    HeaderWriter writer;
    errno = 0;
    ASSERT_EQ(writer.Open(path, c.disposition), c.opens);
    if (c.opens) {
      EXPECT_TRUE(writer.WriteLine("x"));
      EXPECT_TRUE(writer.Close());
    } else {
      EXPECT_EQ(errno, c.error);
      EXPECT_FALSE(writer.WriteLine("x"));
    }
    if (c.contents.empty()) {
      EXPECT_FALSE(fs::exists(path));
    } else {
      EXPECT_EQ(ReadBytes(path), c.contents);
    }
    EXPECT_TRUE(Leftovers({"f.csv"}).empty());
  }
}

TEST_F(StrFileTest, RefusedOpensWriteNothing) {
  const std::string readOnly = PathOf("ro.csv");
  WriteBytes(readOnly, "kept\r\n");
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);

  struct Case {
    const char* name;
    std::string path;
    int error;
  };
  const Case cases[] = {
      {"missing folder", PathOf("no/such/out.csv"), ENOENT},
      {"folder", dir_, EISDIR},
      {"read-only file", readOnly, EACCES},
      {"empty path", "", ENOENT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WFileACP writer;
    errno = 0;
    EXPECT_FALSE(writer.Open(c.path, CreationDisposition::CreateAlways));
    EXPECT_EQ(errno, c.error);
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_FALSE(writer.WriteLine("x"));
    EXPECT_FALSE(writer.WriteLine(""));
    EXPECT_FALSE(writer.Close());
  }
  EXPECT_EQ(ReadBytes(readOnly), "kept\r\n");
  EXPECT_TRUE(Leftovers({"ro.csv"}).empty());

  RulelessWriter ruleless;
  EXPECT_FALSE(ruleless.Open(PathOf("r.csv"), CreationDisposition::CreateAlways));
  EXPECT_FALSE(ruleless.WriteLine("x"));
  EXPECT_FALSE(fs::exists(PathOf("r.csv")));
}

TEST_F(StrFileTest, FailedWriteKeepsTheOldFile) {
  const std::string path = PathOf("out.csv");
  WriteBytes(path, "old\r\n");
  WFileACP writer;
  ASSERT_TRUE(writer.Open(path, CreationDisposition::CreateAlways));
  ASSERT_TRUE(writer.WriteLine("first"));

  // A file-size limit makes the next write fail as a full disk would.
  bool written = true;
  {
    const Testing::FileSizeLimit limit(16);
    ASSERT_TRUE(limit.Active());
    written = writer.WriteLine(std::string(100, 'y'));
  }

  EXPECT_FALSE(written);
  // The file is spoilt: later lines are refused too, and it is not put in place.
  EXPECT_FALSE(writer.WriteLine("z"));
  EXPECT_FALSE(writer.Close());
  EXPECT_EQ(ReadBytes(path), "old\r\n");
  EXPECT_TRUE(Leftovers({"out.csv"}).empty());
}

TEST_F(StrFileTest, ReplacingKeepsModeAndLink) {
  const std::string real = PathOf("real.csv");
  const std::string link = PathOf("link.csv");
  WriteBytes(real, "old\r\n");
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  fs::create_symlink(real, link);

  WFileACP writer;
  ASSERT_TRUE(writer.Open(link, CreationDisposition::CreateAlways));
  ASSERT_TRUE(writer.WriteLine("new"));
  ASSERT_TRUE(writer.Close());

  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(real), "new\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(StrFileTest, ReopeningAWriterFinishesTheFirstFile) {
  WFileACP writer;
  ASSERT_TRUE(writer.Open(PathOf("a.csv"), CreationDisposition::CreateAlways));
  ASSERT_TRUE(writer.WriteLine("a"));
  ASSERT_TRUE(writer.Open(PathOf("b.csv"), CreationDisposition::CreateAlways));
  ASSERT_TRUE(writer.WriteLine("b"));
  ASSERT_TRUE(writer.Close());
  EXPECT_EQ(ReadBytes(PathOf("a.csv")), "a\r\n");
  EXPECT_EQ(ReadBytes(PathOf("b.csv")), "b\r\n");
  EXPECT_TRUE(Leftovers({"a.csv", "b.csv"}).empty());
}

TEST_F(StrFileTest, CreateNewDoesNotReplaceAFileMadeMeanwhile) {
  const std::string path = PathOf("new.csv");
  WFileACP writer;
  ASSERT_TRUE(writer.Open(path, CreationDisposition::CreateNew));
  ASSERT_TRUE(writer.WriteLine("mine"));
  WriteBytes(path, "theirs\r\n");
  EXPECT_FALSE(writer.Close());
  EXPECT_EQ(ReadBytes(path), "theirs\r\n");
  EXPECT_TRUE(Leftovers({"new.csv"}).empty());
}

}  // namespace
