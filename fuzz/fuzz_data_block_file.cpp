// The data-block file "acq_db" against the fixed channels; the blocks read
// are written, read and written again to the same bytes, with nothing left
// unread.
#include "FuzzSupport.h"
#include "RoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  NsFuzz::LoadFixedNodeDb(false);
  if (ReadDataBlocksFile(NsFuzz::WriteFile("acq_db", data, size))) {
    const std::string first = NsFuzz::PrivateFolder() + "/first_acq_db";
    const std::string second = NsFuzz::PrivateFolder() + "/second_acq_db";
    if (!WriteDataBlocksFile(first)) std::abort();
    NsFuzz::LoadFixedNodeDb(false);
    // What the editor wrote it reads whole.
    std::vector<std::string> unread;
    if (!ReadDataBlocksFile(first, nullptr, &unread) || !WriteDataBlocksFile(second)) std::abort();
    if (!unread.empty()) std::abort();
    NsFuzz::ExpectSameFiles(first, second);
  }
  NsFuzz::ResetRuntime();
  return 0;
}
