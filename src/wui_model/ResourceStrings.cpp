#include "wui_model/ResourceStrings.h"

#include <mutex>
#include <utility>

namespace NsOvrin {
namespace {

std::mutex tableMutex;
std::unordered_map<uint32_t, std::string> installed;

}  // namespace

void SetResourceStrings(std::unordered_map<uint32_t, std::string> table) {
  std::lock_guard lock(tableMutex);
  installed = std::move(table);
}

void ClearResourceStrings() {
  std::lock_guard lock(tableMutex);
  installed.clear();
}

std::string LoadResourceString(uint32_t id) {
  std::lock_guard lock(tableMutex);
  const auto it = installed.find(id);
  return it == installed.end() ? std::string() : it->second;
}

}  // namespace NsOvrin
