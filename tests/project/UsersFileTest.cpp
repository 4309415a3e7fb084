#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "project/UsersFile.h"
#include "platform/AtomicFile.h"
#include "platform/Cp936.h"
#include "project_base/QlUser.h"
#include "project_base/UserPrinter.h"

namespace NsOvrin {
namespace {

namespace fs = std::filesystem;

std::string DataDir() {
  if (const char* dir = std::getenv("OVRIN_TEST_DATA")) return dir;
  return fs::path(__FILE__).parent_path() / "data";
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The file's scrambling, written out step by step for the tests: reverse the
// 80 bytes, then in every 8-byte block out[j] = in[(j + 5) % 8] ^ key[2 - j % 3].
std::string Scrambled(std::string plain) {
  static const uint8_t key[3] = {0x3C, 0xA1, 0x5E};
  plain.resize(80, '\0');
  const std::string reversed(plain.rbegin(), plain.rend());
  std::string out(80, '\0');
  for (std::size_t b = 0; b < 80; b += 8)
    for (std::size_t j = 0; j < 8; ++j)
      out[b + j] = static_cast<char>(static_cast<uint8_t>(reversed[b + (j + 5) % 8]) ^ key[2 - j % 3]);
  return out;
}

std::array<uint8_t, kUserRecordSize> ToRecord(const std::string& bytes) {
  std::array<uint8_t, kUserRecordSize> record{};
  for (std::size_t i = 0; i < record.size() && i < bytes.size(); ++i) record[i] = static_cast<uint8_t>(bytes[i]);
  return record;
}

const std::vector<QlUser> kDefaultUsers = {
    {"操作员", "", 1},
    {"工程师", "", 2},
    {"管理员", "", 99},
    {"设备厂商", "", 100},
};

// A temporary project folder; the users file path and the user list are
// process-wide, so both are put back afterwards.
class UsersFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedPath_ = UsersFilePath;
    savedList_ = GetUserList();
    std::string tmpl = (fs::temp_directory_path() / "users_test_XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    path_ = dir_ + "/users_config";
    UsersFilePath = path_;
  }
  void TearDown() override {
    UsersFilePath = savedPath_;
    GetUserList() = savedList_;
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    return names;
  }

  std::string dir_;
  std::string path_;

 private:
  std::string savedPath_;
  std::vector<QlUser> savedList_;
};

TEST_F(UsersFileTest, DefaultUsersFileIsByteExact) {
  const std::string expected = ReadBytes(DataDir() + "/default_users_config");
  ASSERT_EQ(expected.size(), 320u);

  ResetDefaultUsers();
  ASSERT_TRUE(SaveUsers());
  EXPECT_EQ(ReadBytes(path_), expected);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"users_config"});  // no temporary left

  GetUserList().clear();
  ASSERT_TRUE(LoadUsers());
  EXPECT_EQ(GetUserList(), kDefaultUsers);
}

TEST_F(UsersFileTest, FixtureLoadsAsTheDefaultUsers) {
  UsersFilePath = DataDir() + "/default_users_config";
  GetUserList() = {{"old", "", 1}};
  ASSERT_TRUE(LoadUsers());
  EXPECT_EQ(GetUserList(), kDefaultUsers);
}

// Three Chinese characters take 6 bytes in CP936 (李小明 = C0EE D0A1 C3F7);
// the bytes below are the record "00006李小明00004ab#1099" scrambled by hand.
TEST_F(UsersFileTest, HandMadeUserRecordIsByteExact) {
  const std::array<uint8_t, 80> expected = {
      0x5E, 0xA1, 0x3C, 0x5E, 0xA1, 0x3C, 0x5E, 0xA1, 0x5E, 0xA1, 0x3C, 0x5E, 0xA1, 0x3C, 0x5E, 0xA1,
      0x5E, 0xA1, 0x3C, 0x5E, 0xA1, 0x3C, 0x5E, 0xA1, 0x5E, 0xA1, 0x3C, 0x5E, 0xA1, 0x3C, 0x5E, 0xA1,
      0x5E, 0xA1, 0x3C, 0x5E, 0xA1, 0x3C, 0x5E, 0xA1, 0x5E, 0xA1, 0x3C, 0x5E, 0xA1, 0x3C, 0x5E, 0xA1,
      0x5E, 0xA1, 0x3C, 0x5E, 0xA1, 0x3C, 0x5E, 0xA1, 0x7D, 0xC3, 0x5D, 0x5E, 0x98, 0x05, 0x6E, 0x90,
      0xA9, 0x62, 0x9D, 0x6A, 0x91, 0x0C, 0x6E, 0x91, 0x6E, 0x91, 0x0C, 0x8E, 0x4F, 0xFC, 0x68, 0x91,
  };
  const QlUser user{"李小明", "ab#1", 99};
  std::string file = "prefix";
  ASSERT_TRUE(EncodeUserRecord(file, user));
  ASSERT_EQ(file.size(), 6u + 80u);
  EXPECT_EQ(file.substr(6), std::string(expected.begin(), expected.end()));

  auto record = expected;
  QlUser decoded;
  ASSERT_TRUE(DecodeUserRecord(record, decoded));
  EXPECT_EQ(decoded, user);
  // Decoding leaves the plain form in place: the length field counts bytes.
  EXPECT_EQ(std::string(record.begin(), record.begin() + 5), "00006");
  EXPECT_EQ(record[23], 0);
}

struct LoadCase {
  const char* title;
  std::string file;
  bool ok;
  std::vector<QlUser> users;
};

void PrintTo(const LoadCase& tc, std::ostream* os) { *os << tc.title; }

const std::string k40(40, 'n');

class UsersLoadTest : public UsersFileTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(UsersLoadTest, LoadRules) {
  const LoadCase& tc = GetParam();
  WriteBytes(path_, tc.file);
  GetUserList() = {{"stale", "", 1}};
  EXPECT_EQ(LoadUsers(), tc.ok);
  EXPECT_EQ(GetUserList(), tc.users);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UsersLoadTest,
    ::testing::Values(
        LoadCase{"empty file", "", true, {}},
        LoadCase{"one record and a stray byte", Scrambled("00002ab00000001") + "x", false, {{"ab", "", 1}}},
        LoadCase{"79 bytes", Scrambled("00002ab00000001").substr(0, 79), false, {}},
        LoadCase{"two records and a short tail",
                 Scrambled("00001a00002pw002") + Scrambled("00001b00000100") + std::string(40, 'z'), false,
                 {{"a", "pw", 2}, {"b", "", 100}}},
        LoadCase{"empty name", Scrambled("0000000000001"), false, {}},
        LoadCase{"bad record between good ones is left out alone",
                 Scrambled("00001a00000001") + Scrambled("00000") + Scrambled("00001c00000002"), false,
                 {{"a", "", 1}, {"c", "", 2}}},
        LoadCase{"name length not a number", Scrambled("abcde00000001"), false, {}},
        LoadCase{"level 250 becomes 0", Scrambled("00002ab00000250"), true, {{"ab", "", 0}}},
        LoadCase{"level 199 stays", Scrambled("00002ab00000199"), true, {{"ab", "", 199}}},
        LoadCase{"negative level becomes 0", Scrambled("00002ab00000-01"), true, {{"ab", "", 0}}},
        LoadCase{"level not a number is 0", Scrambled("00002ab00000x12"), true, {{"ab", "", 0}}},
        LoadCase{"name length above 40 reads 40", Scrambled("00099" + k40 + "00000007"), true, {{k40, "", 7}}},
        LoadCase{"negative name length reads 40", Scrambled("-0001" + k40 + "00000007"), true, {{k40, "", 7}}},
        LoadCase{"password length beyond the record",
                 Scrambled("00040" + k40 + "00040" + std::string(30, 'p')), false, {}},
        LoadCase{"66 bytes of text", Scrambled("00040" + k40 + "00026" + std::string(26, 'p') + "003"), true,
                 {{k40, std::string(26, 'p'), 3}}},
        LoadCase{"67 bytes of text fill the record",
                 Scrambled("00040" + k40 + "00027" + std::string(27, 'p') + "003"), true,
                 {{k40, std::string(27, 'p'), 3}}},
        LoadCase{"68 bytes of text keep two level digits",
                 Scrambled("00040" + k40 + "00028" + std::string(28, 'p') + "012"), true,
                 {{k40, std::string(28, 'p'), 1}}},
        LoadCase{"69 bytes of text keep one level digit",
                 Scrambled("00040" + k40 + "00029" + std::string(29, 'p') + "9"), true,
                 {{k40, std::string(29, 'p'), 9}}},
        LoadCase{"70 bytes of text leave no level", Scrambled("00040" + k40 + "00030" + std::string(30, 'p')),
                 false, {}},
        LoadCase{"67 bytes of text next to good records",
                 Scrambled("00001a00000001") + Scrambled("00040" + k40 + "00027" + std::string(27, 'p') + "002") +
                     Scrambled("00001b00000099"),
                 true, {{"a", "", 1}, {k40, std::string(27, 'p'), 2}, {"b", "", 99}}},
        LoadCase{"text fields stop at a zero byte", Scrambled(std::string("00005ab\0\0\0" "00004pw\0\0" "001", 22)),
                 true, {{"ab", "pw", 1}}},
        LoadCase{"name in CP936", Scrambled("00004\xD5\xC5\xC8\xFD" "00000" "002"), true, {{"张三", "", 2}}},
        // Kept, but a save would write other bytes: the file is not read whole.
        LoadCase{"name bytes not in the code page",
                 Scrambled("00001a00000001") + Scrambled("00003\xD5\xC5\xFF" "00000" "002"), false,
                 {{"a", "", 1}, {"张\xEF\xBF\xBD", "", 2}}},
        LoadCase{"name cut inside a character", Scrambled("00002a\xD5" "00000" "002"), false,
                 {{"a\xEF\xBF\xBD", "", 2}}},
        LoadCase{"password bytes not in the code page", Scrambled("00001a00002\x81\x20" "001"), false,
                 {{"a", "\xEF\xBF\xBD ", 1}}}),
    [](const ::testing::TestParamInfo<LoadCase>& info) {
      std::string name;
      for (const char* p = info.param.title; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name;
    });

TEST_F(UsersFileTest, UnopenableFileFailsWithEmptyList) {
  UsersFilePath = dir_ + "/missing";
  GetUserList() = kDefaultUsers;
  EXPECT_FALSE(LoadUsers());
  EXPECT_TRUE(GetUserList().empty());

  UsersFilePath = dir_;  // a folder opens but does not read
  GetUserList() = kDefaultUsers;
  EXPECT_FALSE(LoadUsers());
  EXPECT_TRUE(GetUserList().empty());

  // No writer will ever come: the load must not wait for one.
  ASSERT_EQ(::mkfifo(path_.c_str(), 0600), 0);
  UsersFilePath = path_;
  GetUserList() = kDefaultUsers;
  EXPECT_FALSE(LoadUsers());
  EXPECT_TRUE(GetUserList().empty());
}

// Random records, most of them with plausible length fields: decoding never
// reads outside the record, and whatever decodes is stored again whole.
TEST_F(UsersFileTest, DecodedRecordsAlwaysEncodeBack) {
  std::mt19937 rng(20240601);
  std::uniform_int_distribution<int> byte(0, 255), length(0, 45), digit(0, 9);
  int decodedCount = 0;
  for (int i = 0; i < 5000; ++i) {
    std::string plain(80, '\0');
    for (char& ch : plain) ch = static_cast<char>(byte(rng));
    if (i % 4 != 0) {
      const int n = length(rng);
      std::snprintf(plain.data(), 6, "%05d", n);
      plain[5] = static_cast<char>(byte(rng));
      const std::size_t p = 5 + static_cast<std::size_t>(std::min(n, 40));
      char field[8];
      std::snprintf(field, sizeof(field), "%05d", length(rng));
      plain.replace(p, 5, field, 5);
      if (i % 2 == 0) plain[p + 5 + static_cast<std::size_t>(digit(rng))] = '\0';
    }
    auto record = ToRecord(Scrambled(plain));
    QlUser user{"untouched", "", 42};
    if (!DecodeUserRecord(record, user)) {
      EXPECT_EQ(user, (QlUser{"untouched", "", 42}));
      continue;
    }
    ++decodedCount;
    ASSERT_FALSE(user.name.empty());
    ASSERT_GE(user.level, 0);
    ASSERT_LT(user.level, 200);
    std::string again;
    ASSERT_TRUE(EncodeUserRecord(again, user)) << "record " << i;
    ASSERT_EQ(again.size(), 80u);
    auto second = ToRecord(again);
    QlUser reread;
    ASSERT_TRUE(DecodeUserRecord(second, reread));
    // Bytes that are no CP936 character read as U+FFFD, which is stored as '?'.
    QlUser expected = user;
    for (std::string* text : {&expected.name, &expected.password})
      for (std::size_t at; (at = text->find("\xEF\xBF\xBD")) != std::string::npos;) text->replace(at, 3, "?");
    EXPECT_EQ(reread, expected);
  }
  EXPECT_GT(decodedCount, 500);
}

struct EncodeCase {
  const char* title;
  QlUser user;
  bool ok;
  QlUser reread;  // what the record decodes to
};

void PrintTo(const EncodeCase& tc, std::ostream* os) { *os << tc.title; }

class UsersEncodeTest : public ::testing::TestWithParam<EncodeCase> {};

std::string Repeat(const std::string& piece, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += piece;
  return out;
}

TEST_P(UsersEncodeTest, StoresWholeRecordsOnly) {
  const EncodeCase& tc = GetParam();
  std::string file = "x";
  ASSERT_EQ(EncodeUserRecord(file, tc.user), tc.ok);
  if (!tc.ok) {
    EXPECT_EQ(file, "x");
    return;
  }
  ASSERT_EQ(file.size(), 81u);
  auto record = ToRecord(file.substr(1));
  QlUser reread;
  ASSERT_TRUE(DecodeUserRecord(record, reread));
  EXPECT_EQ(reread, tc.reread);
}

INSTANTIATE_TEST_SUITE_P(
    Users, UsersEncodeTest,
    ::testing::Values(
        EncodeCase{"empty name", {"", "pw", 1}, false, {}},
        EncodeCase{"66 bytes", {std::string(40, 'n'), std::string(26, 'p'), 2}, true,
                   {std::string(40, 'n'), std::string(26, 'p'), 2}},
        // Past 66 bytes the level keeps the digits left in the record.
        EncodeCase{"67 bytes", {std::string(40, 'n'), std::string(27, 'p'), 199}, true,
                   {std::string(40, 'n'), std::string(27, 'p'), 199}},
        EncodeCase{"68 bytes", {std::string(40, 'n'), std::string(28, 'p'), 99}, true,
                   {std::string(40, 'n'), std::string(28, 'p'), 99}},
        EncodeCase{"68 bytes with a level of three digits", {std::string(40, 'n'), std::string(28, 'p'), 100},
                   false, {}},
        EncodeCase{"69 bytes", {std::string(40, 'n'), std::string(29, 'p'), 9}, true,
                   {std::string(40, 'n'), std::string(29, 'p'), 9}},
        EncodeCase{"69 bytes with a level of two digits", {std::string(40, 'n'), std::string(29, 'p'), 10},
                   false, {}},
        EncodeCase{"70 bytes", {std::string(40, 'n'), std::string(30, 'p'), 0}, false, {}},
        EncodeCase{"name of 41 bytes", {std::string(41, 'n'), "", 2}, false, {}},
        EncodeCase{"password of 41 bytes", {"n", std::string(41, 'p'), 2}, false, {}},
        // 20 CJK characters: 60 UTF-8 bytes, 40 CP936 bytes.
        EncodeCase{"name of 40 bytes in CP936", {Repeat("李", 20), std::string(26, 'p'), 1}, true,
                   {Repeat("李", 20), std::string(26, 'p'), 1}},
        EncodeCase{"name of 42 bytes in CP936", {Repeat("李", 21), "", 1}, false, {}},
        EncodeCase{"67 bytes in CP936", {Repeat("李", 20), std::string(27, 'p'), 1}, true,
                   {Repeat("李", 20), std::string(27, 'p'), 1}},
        EncodeCase{"70 bytes in CP936", {Repeat("李", 20), std::string(30, 'p'), 1}, false, {}},
        EncodeCase{"level 999 reads back as 0", {"u", "", 999}, true, {"u", "", 0}},
        EncodeCase{"level 1000", {"u", "", 1000}, false, {}},
        EncodeCase{"negative level", {"u", "", -1}, false, {}},
        EncodeCase{"malformed UTF-8 name", {"\xC3", "", 1}, false, {}},
        EncodeCase{"NUL in password", {"u", std::string("a\0b", 3), 1}, false, {}},
        EncodeCase{"character outside CP936", {"A\xF0\x9F\x98\x80", "", 1}, true, {"A?", "", 1}}),
    [](const ::testing::TestParamInfo<EncodeCase>& info) {
      std::string name;
      for (const char* p = info.param.title; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name;
    });

TEST_F(UsersFileTest, FailedSaveLeavesOldFileWhole) {
  ResetDefaultUsers();
  ASSERT_TRUE(SaveUsers());
  const std::string before = ReadBytes(path_);

  GetUserList().push_back({std::string(70, 'n'), "", 1});  // cannot be stored whole
  EXPECT_FALSE(SaveUsers());
  EXPECT_EQ(ReadBytes(path_), before);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"users_config"});

  UsersFilePath = dir_ + "/no_such_folder/users_config";
  ResetDefaultUsers();
  EXPECT_FALSE(SaveUsers());
  EXPECT_FALSE(fs::exists(UsersFilePath));
}

TEST_F(UsersFileTest, SaveReplacesFileAndKeepsItsMode) {
  WriteBytes(path_, std::string(500, 'o'));
  ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
  GetUserList() = {{"甲", "1", 1}};
  ASSERT_TRUE(SaveUsers());
  EXPECT_EQ(ReadBytes(path_).size(), 80u);
  struct stat st;
  ASSERT_EQ(::stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  GetUserList().clear();
  ASSERT_TRUE(SaveUsers());
  EXPECT_TRUE(ReadBytes(path_).empty());
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"users_config"});
  ASSERT_TRUE(LoadUsers());
  EXPECT_TRUE(GetUserList().empty());
}

// A users file not read whole goes into another folder as it is; one that
// cannot be read for that is named with its reason, and so is a target that
// cannot be written.
TEST_F(UsersFileTest, AnUnreadFileIsCarriedByteForByteOrNamed) {
  struct Restore {
    ~Restore() { UnreadUsersFilePath.clear(); }
  } restore;
  std::string bytes = Scrambled("00001a00000001") + Scrambled("00000") + "tail";
  bytes[100] = '\0';
  WriteBytes(path_, bytes);
  UnreadUsersFilePath = path_;
  GetUserList() = {{"not", "written", 1}};
  ASSERT_EQ(::mkdir((dir_ + "/other").c_str(), 0755), 0);
  {
    NsPlatform::WriteFailureRecorder failures;
    EXPECT_TRUE(CarryUnreadUsersFile(dir_ + "/other/users_config"));
    EXPECT_TRUE(failures.Failures().empty());
  }
  EXPECT_EQ(ReadBytes(dir_ + "/other/users_config"), bytes);

  const struct {
    const char* what;
    std::string unread;
    std::string target;
    NsPlatform::WriteFailure named;
  } kCases[] = {
      {"the unread file is a folder", dir_ + "/other", dir_ + "/third", {dir_ + "/other", EISDIR}},
      {"the unread file is gone", dir_ + "/gone", dir_ + "/third", {dir_ + "/gone", ENOENT}},
      {"the target's folder is missing", path_, dir_ + "/none/users_config",
       {dir_ + "/none/users_config", ENOENT}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    UnreadUsersFilePath = c.unread;
    NsPlatform::WriteFailureRecorder failures;
    EXPECT_FALSE(CarryUnreadUsersFile(c.target));
    EXPECT_EQ(failures.Failures(), std::vector<NsPlatform::WriteFailure>{c.named});
    EXPECT_FALSE(fs::exists(c.target));
  }
  UnreadUsersFilePath.clear();
  EXPECT_FALSE(CarryUnreadUsersFile(dir_ + "/third"));
  EXPECT_FALSE(fs::exists(dir_ + "/third"));
}

TEST_F(UsersFileTest, FilePathFallsBackToUsersBesideTheProgram) {
  EXPECT_EQ(GetUsersFilePath(), path_);
  UsersFilePath.clear();
  const std::string fallback = GetUsersFilePath();
  EXPECT_EQ(fs::path(fallback).filename(), "users");
  EXPECT_TRUE(fs::path(fallback).is_absolute());
}

}  // namespace
}  // namespace NsOvrin
