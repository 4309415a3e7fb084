// The channels file "com_chns"; the channels and devices read are written,
// read and written again to the same bytes, with nothing left unread.
#include "FuzzSupport.h"
#include "RoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  NsFuzz::ResetRuntime();
  if (ReadChannelsFile(NsFuzz::WriteFile("com_chns", data, size))) {
    const std::string first = NsFuzz::PrivateFolder() + "/first_com_chns";
    const std::string second = NsFuzz::PrivateFolder() + "/second_com_chns";
    if (!WriteChannelsFile(first)) std::abort();
    NsFuzz::ResetRuntime();
    // What the editor wrote it reads whole.
    std::vector<std::string> unreadChannels;
    std::vector<std::string> unreadDevices;
    if (!ReadChannelsFile(first, &unreadChannels, &unreadDevices) || !WriteChannelsFile(second))
      std::abort();
    if (!unreadChannels.empty() || !unreadDevices.empty()) std::abort();
    NsFuzz::ExpectSameFiles(first, second);
  }
  NsFuzz::ResetRuntime();
  return 0;
}
