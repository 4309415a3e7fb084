// A page file "<name>.ovpg" against the fixed node database: every element
// kind is read and bound as the editor does on open.
#include "FuzzSupport.h"
#include "project/QlEProject.h"
#include "project_persistence/PageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  static const bool loaded = [] {
    NsFuzz::LoadFixedNodeDb(true);
    QlEProject::Instance().pageNames = {"page", "页面2"};
    return true;
  }();
  (void)loaded;
  NsFuzz::WriteFile("page.ovpg", data, size);
  std::shared_ptr<NsQlUiElem::QlPageData> page;
  LoadPageFile(NsFuzz::PrivateFolder(), "page", {}, page);
  return 0;
}
