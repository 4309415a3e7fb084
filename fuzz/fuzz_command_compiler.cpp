// Instruction lines of the command language, one per input line: normalised,
// checked and compiled against the fixed node database and two pages.
#include "FuzzSupport.h"
#include "compiler/FuncText.h"
#include "compiler/QlFuncList.h"
#include "project/QlEProject.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  using namespace NsOvrin::NsQlCompiler;
  static const bool loaded = [] {
    NsFuzz::LoadFixedNodeDb(true);
    QlEProject::Instance().pageNames = {"页面1", "手动页面"};
    return true;
  }();
  (void)loaded;
  NsFuzz::InputReader in(data, size);
  QlFuncList list;
  while (!in.AtEnd()) {
    const std::string line = in.Until('\n');
    const std::string normal = NormalizeFuncText(line);
    std::string message;
    CheckFuncText(normal, &message);
    CheckFuncText(line, nullptr);
    list.sourceLines.push_back(normal);
  }
  list.Compile();
  for (const auto& function : list.functions)
    if (function) function->Prepare();
  return 0;
}
