// The commit record a save leaves in a project folder when it stops part-way
// is read at the next open: a hand-made or damaged one must move nothing out
// of the folder, never move a file that is no staged temporary, and never
// leave more files than it found.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "FuzzSupport.h"
#include "RoundTrip.h"
#include "platform/AtomicFile.h"

namespace {

namespace fs = std::filesystem;

// Regular files of the folder by name.
std::set<std::string> Files(const std::string& folder) {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error))
    if (entry.is_regular_file()) names.insert(entry.path().filename().string());
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  const std::string root = NsFuzz::PrivateFolder();
  const std::string folder = root + "/project";
  std::error_code error;
  fs::remove_all(folder, error);
  fs::create_directories(folder + "/images");
  NsFuzz::WriteFile("outside", "kept");
  NsFuzz::InputReader input(data, size);
  // Some temporaries of a save that died (pid 999999999 runs nowhere), some
  // project files, then the record.
  const int temps = input.Byte() % 4;
  for (int i = 0; i < temps; ++i)
    NsFuzz::WriteFile("project/.ovrin-save-999999999-" + std::to_string(i) + ".tmp", "staged");
  for (const char* name : {"main_.ql", "P1.ovpg", "P2.ovpg", "com_chns"})
    NsFuzz::WriteFile(std::string("project/") + name, name);
  NsFuzz::WriteFile("project/.ovrin-save-commit", input.Rest());
  const std::set<std::string> before = Files(folder);

  const bool done = NsPlatform::CompletePendingCommit(folder);
  const std::set<std::string> after = Files(folder);
  if (NsFuzz::ReadBack(root + "/outside") != "kept") std::abort();
  if (!fs::is_directory(folder + "/images")) std::abort();
  if (done && after.contains(".ovrin-save-commit")) std::abort();
  if (after.size() > before.size()) std::abort();
  // Only a temporary's name can have become another one.
  for (const std::string& name : after)
    if (!before.contains(name) && NsFuzz::ReadBack(folder + "/" + name) != "staged") std::abort();
  // A project file changed only by taking a temporary's content.
  for (const char* name : {"main_.ql", "P1.ovpg", "P2.ovpg", "com_chns"}) {
    if (!after.contains(name)) continue;
    const std::string text = NsFuzz::ReadBack(folder + "/" + name);
    if (text != name && text != "staged") std::abort();
  }
  // Once no record is left, the stale temporaries go too.
  NsPlatform::RemoveStaleSaveTemporaries(folder);
  return 0;
}
