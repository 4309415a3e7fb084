#include "editor/QlEPage.h"

#include <utility>

#include "QlUiElem/QlUiElemDef.h"
#include "editor/QlEHostElem.h"
#include "platform/Format.h"
#include "project/QlEProject.h"

namespace NsOvrin {

using NsQlElemEditor::QlEHostElem;
using NsUiD2ElemEditor::UiElem;

namespace {

// Calls visit(host) for the element host of every wrapper of the page, in
// drawing order; wrappers without one are passed over.
template <typename Visit>
void ForEachHost(const QlEPage& page, Visit&& visit) {
  if (!page.elements) return;
  // A check may run code that edits the page; walk what was there.
  const std::vector<std::shared_ptr<UiElem>> elems = page.elements->elems;
  for (const std::shared_ptr<UiElem>& elem : elems) {
    if (!elem) continue;
    const auto host = std::dynamic_pointer_cast<QlEHostElem>(elem->host);
    if (host) visit(*host);
  }
}

}  // namespace

QlEPage::QlEPage(std::string pageName)
    : name(std::move(pageName)), elements(std::make_shared<NsUiD2ElemEditor::UiElemCont>()) {
  const QlEProject& project = QlEProject::Instance();
  rect = {0.0f, 0.0f, project.width, project.height};
}

bool QlEPage::CheckElements(const std::shared_ptr<QlEPage>& page,
                            std::vector<std::string>* messages) {
  if (!page) return false;
  bool allPassed = true;
  ForEachHost(*page, [&](QlEHostElem& host) {
    std::string message;
    if (host.Check(messages != nullptr ? &message : nullptr)) return;
    allPassed = false;
    if (messages == nullptr) return;
    const NsDx2d::D2D_RECT_F where = host.GetRect();
    // "%s控件[%.1f,%.1f] %s.", put together by hand: a large project fails
    // thousands of times.
    // Texts end at a NUL byte, as they did through "%s".
    std::string line = NsQlUiElem::ElemTypeToDisplayName(host.GetType()).c_str();
    line += "控件[";
    NsPlatform::AppendFixed(line, static_cast<double>(where.left), 1);
    line += ',';
    NsPlatform::AppendFixed(line, static_cast<double>(where.top), 1);
    line += "] ";
    line += message.c_str();
    line += '.';
    messages->push_back(std::move(line));
  });
  return allPassed;
}

bool QlEPage::RevalidateElements(const std::shared_ptr<QlEPage>& page) {
  if (!page) return false;
  bool allBound = true;
  ForEachHost(*page, [&](QlEHostElem& host) {
    if (!host.Revalidate()) allBound = false;
  });
  return allBound;
}

bool QlEPage::RebindElements(const std::shared_ptr<QlEPage>& page) {
  if (!page) return false;
  bool allBound = true;
  ForEachHost(*page, [&](QlEHostElem& host) {
    if (!host.Rebind()) allBound = false;
  });
  return allBound;
}

}  // namespace NsOvrin
