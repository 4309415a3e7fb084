#include "compiler/QlFuncList.h"

namespace NsOvrin::NsQlCompiler {

bool QlFuncList::Compile() {
  // The old objects go first, and their subscriptions with them.
  functions.clear();
  for (const std::string& line : sourceLines) {
    std::shared_ptr<QlFuncBase> function = CreateFunc(line);
    if (!function) continue;
    function->Prepare();
    functions.push_back(std::move(function));
  }
  return true;
}

}  // namespace NsOvrin::NsQlCompiler
