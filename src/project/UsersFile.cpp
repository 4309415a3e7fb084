#include "project/UsersFile.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "common/Log.h"
#include "common/PathUtil.h"
#include "platform/AtomicFile.h"
#include "platform/CheckedFile.h"
#include "platform/Cp936.h"
#include "platform/Format.h"
#include "platform/Utf.h"

namespace NsOvrin {

std::string UsersFilePath;

namespace {

constexpr std::size_t kBlockSize = 8;
constexpr uint8_t kKey[3] = {0x3C, 0xA1, 0x5E};
constexpr std::size_t kLengthDigits = 5;
constexpr std::size_t kLevelDigits = 3;
constexpr std::size_t kMaxFieldLength = 40;
constexpr int64_t kLevelLimit = 200;
// What a record can be written with: two length fields and at least one
// digit of the level (the reader reads as much of the level as lies inside
// the record, and needs no terminating zero).
constexpr std::size_t kMaxTextBytes = kUserRecordSize - 2 * kLengthDigits - 1;

using Record = std::span<uint8_t, kUserRecordSize>;

uint8_t KeyFor(std::size_t j) { return kKey[2 - j % 3]; }

void Scramble(Record record) {
  for (std::size_t i = 0; i < kUserRecordSize / 2; ++i) std::swap(record[i], record[kUserRecordSize - 1 - i]);
  for (std::size_t b = 0; b < kUserRecordSize; b += kBlockSize) {
    uint8_t in[kBlockSize];
    std::memcpy(in, &record[b], kBlockSize);
    for (std::size_t j = 0; j < kBlockSize; ++j) record[b + j] = in[(j + 5) % kBlockSize] ^ KeyFor(j);
  }
}

void Unscramble(Record record) {
  for (std::size_t b = 0; b < kUserRecordSize; b += kBlockSize) {
    uint8_t out[kBlockSize];
    std::memcpy(out, &record[b], kBlockSize);
    for (std::size_t j = 0; j < kBlockSize; ++j) record[b + (j + 5) % kBlockSize] = out[j] ^ KeyFor(j);
  }
  for (std::size_t i = 0; i < kUserRecordSize / 2; ++i) std::swap(record[i], record[kUserRecordSize - 1 - i]);
}

// A fixed-width number field read the way atoi reads it: leading blanks, an
// optional sign, then digits up to the first other byte (a zero byte ends the
// field early). No number gives 0.
int64_t ParseField(Record record, std::size_t pos, std::size_t width) {
  const std::size_t end = std::min(pos + width, kUserRecordSize);
  std::size_t i = pos;
  while (i < end && (record[i] == ' ' || (record[i] >= '\t' && record[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < end && (record[i] == '+' || record[i] == '-')) negative = record[i++] == '-';
  int64_t value = 0;
  for (; i < end && record[i] >= '0' && record[i] <= '9'; ++i) value = value * 10 + (record[i] - '0');
  return negative ? -value : value;
}

// A length field: a negative or larger value gives the limit.
std::size_t ParseLength(Record record, std::size_t pos) {
  const int64_t value = ParseField(record, pos, kLengthDigits);
  if (value < 0 || value > static_cast<int64_t>(kMaxFieldLength)) return kMaxFieldLength;
  return static_cast<std::size_t>(value);
}

// The bytes of [pos, pos + length) up to the first zero byte among them.
std::string_view TextField(Record record, std::size_t pos, std::size_t length) {
  const char* begin = reinterpret_cast<const char*>(record.data()) + pos;
  const void* zero = std::memchr(begin, 0, length);
  return std::string_view(begin, zero ? static_cast<const char*>(zero) - begin : length);
}

// Text that can be stored and read back unchanged.
bool StorableText(const std::string& text) {
  return text.find('\0') == std::string::npos && NsPlatform::IsValidUtf8(text);
}


// Fills buffer unless the file ends first; the count read, or -1 on error.
ssize_t ReadFull(int fd, uint8_t* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, buffer + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(done);
}

}  // namespace

std::string UnreadUsersFilePath;

void ChangedUsers() { UnreadUsersFilePath.clear(); }

bool IsUnreadUsersFile(const std::string& path) {
  if (UnreadUsersFilePath.empty() || path.empty()) return false;
  // The same folder may be spelt another way by the save.
  return path == UnreadUsersFilePath || NsPlatform::SameExistingFile(path, UnreadUsersFilePath);
}

std::string GetUsersFilePath() {
  if (!UsersFilePath.empty()) return UsersFilePath;
  return ResolveRelativePath("users");
}

bool EncodeUserRecord(std::string& file, const QlUser& user) {
  if (!StorableText(user.name) || !StorableText(user.password)) return false;
  if (user.level < 0 || user.level > 999) return false;
  const std::string name = NsPlatform::Utf8ToAcp(user.name);
  const std::string password = NsPlatform::Utf8ToAcp(user.password);
  // An empty name would make the whole file fail to load.
  if (name.empty()) return false;
  // The reader takes at most 40 bytes from a length field.
  if (name.size() > kMaxFieldLength || password.size() > kMaxFieldLength) return false;
  if (name.size() + password.size() > kMaxTextBytes) return false;
  // Past 66 bytes of text the level keeps only the digits that fit; a level
  // those cannot hold would read back as another.
  const std::size_t levelDigits =
      std::min(kLevelDigits, kUserRecordSize - 2 * kLengthDigits - name.size() - password.size());
  if (levelDigits < kLevelDigits && user.level >= (levelDigits == 2 ? 100 : 10)) return false;

  const std::string text = NsPlatform::StrFormat("%05zu", name.size()) + name +
                           NsPlatform::StrFormat("%05zu", password.size()) + password +
                           NsPlatform::StrFormat("%0*d", static_cast<int>(levelDigits),
                                                 static_cast<int>(user.level));
  std::array<uint8_t, kUserRecordSize> record{};
  std::memcpy(record.data(), text.data(), text.size());
  Scramble(record);
  file.append(reinterpret_cast<const char*>(record.data()), record.size());
  return true;
}

namespace {

// Text of a record field read back through the code page; exact stays true
// only when the bytes are what the text would be written as again.
std::string FieldText(std::string_view bytes, bool& exact) {
  std::string text = NsPlatform::AcpToUtf8(bytes);
  if (NsPlatform::Utf8ToAcp(text) != bytes) exact = false;
  return text;
}

// DecodeUserRecord; exact is false when the name or password holds bytes the
// code page does not give back, so that the record would be saved otherwise.
bool DecodeRecord(Record record, QlUser& user, bool& exact) {
  Unscramble(record);
  const std::size_t nameLength = ParseLength(record, 0);
  const std::size_t passwordPos = kLengthDigits + nameLength;
  const std::size_t passwordLength = ParseLength(record, passwordPos);
  const std::size_t passwordStart = passwordPos + kLengthDigits;
  // Refused before the password is read: the level must start inside the
  // record. Its digits may run past the end; those are not read.
  if (passwordStart + passwordLength >= kUserRecordSize) return false;

  exact = true;
  const std::string name = FieldText(TextField(record, kLengthDigits, nameLength), exact);
  if (name.empty()) return false;
  std::string password = FieldText(TextField(record, passwordStart, passwordLength), exact);
  int64_t level = ParseField(record, passwordStart + passwordLength, kLevelDigits);
  if (level < 0 || level >= kLevelLimit) level = 0;

  user.name = name;
  user.password = std::move(password);
  user.level = static_cast<int32_t>(level);
  return true;
}

}  // namespace

bool DecodeUserRecord(Record record, QlUser& user) {
  bool exact = true;
  return DecodeRecord(record, user, exact);
}

bool LoadUsers() {
  std::vector<QlUser>& users = GetUserList();
  users.clear();
  const std::string path = GetUsersFilePath();
  // Only a regular file, never waiting on a FIFO.
  const int fd = NsPlatform::OpenRegularFileForReading(path);
  if (fd < 0) return false;

  bool ok = true;
  std::array<uint8_t, kUserRecordSize> record;
  for (;;) {
    const ssize_t n = ReadFull(fd, record.data(), record.size());
    if (n < 0) {
      OV_LOG(4).AppendText("users file unreadable").AppendOpenParen().AppendText(path).AppendCloseParen();
      ok = false;
      break;
    }
    if (static_cast<std::size_t>(n) < record.size()) {
      // A file cut inside a record lost a user: it is not read whole, and a
      // save would drop the piece that is left.
      if (n > 0) {
        OV_LOG(4).AppendText("users file ends inside a record").AppendOpenParen().AppendText(path).AppendCloseParen();
        ok = false;
      }
      break;
    }
    QlUser user;
    bool exact = true;
    // One damaged record costs that user only, not the whole list.
    if (!DecodeRecord(record, user, exact)) {
      OV_LOG(4).AppendText("bad record in users file").AppendOpenParen().AppendText(path).AppendCloseParen();
      ok = false;
      continue;
    }
    // Kept, but the file is not read as it is: a save would change the bytes.
    if (!exact) {
      OV_LOG(4).AppendText("user text not in the code page").AppendOpenParen().AppendText(path).AppendCloseParen();
      ok = false;
    }
    users.push_back(std::move(user));
  }
  ::close(fd);
  return ok;
}

bool CarryUnreadUsersFile(const std::string& target) {
  if (UnreadUsersFilePath.empty()) return false;
  std::string bytes;
  errno = 0;
  if (!NsPlatform::ReadRegularFile(UnreadUsersFilePath, bytes)) {
    // The file that could not be carried is the one to name.
    NsPlatform::RecordWriteFailure(UnreadUsersFilePath, errno != 0 ? errno : EIO);
    return false;
  }
  return NsPlatform::ReplaceFileAtomically(target, bytes);
}

bool SaveUsers() {
  std::string bytes;
  for (const QlUser& user : GetUserList()) {
    if (!EncodeUserRecord(bytes, user)) {
      OV_LOG(4).AppendText("user cannot be stored").AppendOpenParen().AppendText(user.name).AppendCloseParen();
      return false;
    }
  }
  return NsPlatform::ReplaceFileAtomically(GetUsersFilePath(), bytes);
}

}  // namespace NsOvrin
