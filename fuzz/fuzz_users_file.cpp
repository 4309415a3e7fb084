// The users file: scrambled fixed-size records. The users read are written,
// read and written again to the same bytes.
#include "FuzzSupport.h"
#include "RoundTrip.h"
#include "project/UsersFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  UsersFilePath = NsFuzz::WriteFile("users_config", data, size);
  LoadUsers();
  const std::string first = NsFuzz::PrivateFolder() + "/first_users";
  const std::string second = NsFuzz::PrivateFolder() + "/second_users";
  UsersFilePath = first;
  if (!SaveUsers()) std::abort();
  if (!LoadUsers()) std::abort();
  UsersFilePath = second;
  if (!SaveUsers()) std::abort();
  NsFuzz::ExpectSameFiles(first, second);
  return 0;
}
