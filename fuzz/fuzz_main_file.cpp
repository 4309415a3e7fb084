// The project's main file; what was read is written, read and written again
// to the same bytes.
#include "FuzzSupport.h"
#include "RoundTrip.h"
#include "project_persistence/MainFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  QlProjectData record;
  if (!ReadMainFile(NsFuzz::WriteFile("main_.ql", data, size), record)) return 0;
  const std::string first = NsFuzz::PrivateFolder() + "/first.ql";
  const std::string second = NsFuzz::PrivateFolder() + "/second.ql";
  if (!WriteMainFile(first, record)) std::abort();
  QlProjectData again;
  if (!ReadMainFile(first, again) || !WriteMainFile(second, again)) std::abort();
  NsFuzz::ExpectSameFiles(first, second);
  return 0;
}
