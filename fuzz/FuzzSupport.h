#pragma once
// Shared by the harnesses: a private folder for the files a harness writes,
// the fuzz input handed out piece by piece, and a fixed node database (one
// device of every model that can be polled, each with data blocks) for the
// readers that resolve addresses.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "alarm/AlarmManager.h"
#include "project_persistence/ChannelsFile.h"
#include "project_persistence/DataBlockFile.h"
#include "termination/ChannelManager.h"

namespace NsOvrin::NsFuzz {

// A folder of this process only, removed at exit.
inline const std::string& PrivateFolder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "ovrin_fuzz_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    static const std::string kept = pattern;
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(kept, ignored);
    });
    return pattern;
  }();
  return folder;
}

// Writes the bytes to name in the private folder (replacing what was there)
// and returns the path.
inline std::string WriteFile(const std::string& name, const uint8_t* data, std::size_t size) {
  const std::string path = PrivateFolder() + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    std::perror(path.c_str());
    std::abort();
  }
  if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  if (std::fclose(file) != 0) std::abort();
  return path;
}

inline std::string WriteFile(const std::string& name, const std::string& text) {
  return WriteFile(name, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// The input taken from the front: a few bytes of choices, then the rest.
class InputReader {
 public:
  InputReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  // The next byte, 0 once the input ran out.
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // Up to n bytes as text.
  std::string Text(std::size_t n) {
    const std::size_t take = n < size_ - pos_ ? n : size_ - pos_;
    std::string text(reinterpret_cast<const char*>(data_ + pos_), take);
    pos_ += take;
    return text;
  }
  // Text up to the next byte equal to separator (dropped), or to the end.
  std::string Until(char separator) {
    std::string text;
    while (pos_ < size_ && data_[pos_] != static_cast<uint8_t>(separator))
      text.push_back(static_cast<char>(data_[pos_++]));
    if (pos_ < size_) ++pos_;
    return text;
  }
  std::string Rest() { return Text(size_ - pos_); }
  const uint8_t* Here() const { return data_ + pos_; }
  std::size_t Left() const { return size_ - pos_; }
  bool AtEnd() const { return pos_ == size_; }

 private:
  const uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Channels with a device of every polled model: PLC1 Modbus RTU and FX1 FX on
// a serial channel, TCP1 Modbus TCP and H3U1 H5U on an Ethernet one.
inline constexpr const char* kFixedChannels = R"({"channels":[
{"type":"sr","name":"S1","description":"","parameters":"com:3;param:19200,N,8,1;","nodes":[
 {"devId":"modbus.RTU","name":"PLC1","station-NO":3,"resend-times":2},
 {"devId":"mitsubishi.FX","name":"FX1","station-NO":1,"resend-times":2}]},
{"type":"ethnet","name":"E0","description":"","parameters":"","nodes":[
 {"devId":"modbus.Tcp","name":"TCP1","station-NO":1,"resend-times":0,"ip-address":"127.0.0.1",
  "ip-port":502,"conn-timeout":3000,"recv-timeout":1500},
 {"devId":"inovance.H5U","name":"H3U1","station-NO":1,"resend-times":2,"ip-address":"127.0.0.1",
  "ip-port":1502,"conn-timeout":3000,"recv-timeout":1500}]}]})";

inline constexpr const char* kFixedDataBlocks = R"({"nodes":[
{"name":"PLC1","acq-data-block-array":[
 {"name":"hold","address":"4x[0~99]","interval":100,"enable":true},
 {"name":"coils","address":"0x[0~63]","interval":100,"enable":true},
 {"name":"inputs","address":"1x[0~31]","interval":100,"enable":true},
 {"name":"regs","address":"3x[0~9]","interval":100,"enable":true}]},
{"name":"FX1","acq-data-block-array":[
 {"name":"d","address":"D[0~99]","interval":100,"enable":true},
 {"name":"m","address":"M[0~63]","interval":100,"enable":true},
 {"name":"x","address":"X[0~17]","interval":100,"enable":true},
 {"name":"y","address":"Y[0~17]","interval":100,"enable":true}]},
{"name":"TCP1","acq-data-block-array":[
 {"name":"hold","address":"4x[0~99]","interval":100,"enable":true},
 {"name":"coils","address":"0x[0~63]","interval":100,"enable":true}]},
{"name":"H3U1","acq-data-block-array":[
 {"name":"d","address":"D[0~99]","interval":100,"enable":true},
 {"name":"m","address":"M[0~127]","interval":100,"enable":true},
 {"name":"x","address":"X[0~17]","interval":100,"enable":true}]}]})";

// Empties the alarm manager and the channel database; segments first, they
// hold subscriptions on the nodes' tasks.
inline void ResetRuntime() {
  NsAlarm::AlarmManager::Instance().Clear();
  NsTermination::ChannelManager::Instance().Reset();
}

// The runtime emptied, then the fixed channels and, when asked, their data
// blocks read through the real readers.
inline void LoadFixedNodeDb(bool withDataBlocks) {
  ResetRuntime();
  static const std::string channels = WriteFile("fixed_com_chns", kFixedChannels);
  static const std::string blocks = WriteFile("fixed_acq_db", kFixedDataBlocks);
  if (!ReadChannelsFile(channels)) std::abort();
  if (withDataBlocks && !ReadDataBlocksFile(blocks)) std::abort();
}

}  // namespace NsOvrin::NsFuzz
