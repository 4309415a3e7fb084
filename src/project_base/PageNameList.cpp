#include "project_base/PageNameList.h"

namespace NsOvrin {

std::vector<std::string>& GetPageNameList() {
  static std::vector<std::string> names;
  return names;
}

}  // namespace NsOvrin
