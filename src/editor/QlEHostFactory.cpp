#include "editor/QlEHostFactory.h"

#include "editor/QlEHostButton.h"
#include "editor/QlEHostEdit.h"
#include "editor/QlEHostString.h"
#include "editor/QlEHostText.h"

namespace NsOvrin::NsQlElemEditor {
namespace {

using NsUiD2ElemEditor::TUiHost;
using NsUiD2ElemEditor::UiElem;

// The page reader makes record and binding of the kind's classes; a file
// that names the wrong kind must not make a host read a record as what it
// is not.
template <typename Host, typename Ui, typename Io>
std::shared_ptr<TUiHost> MakeHost(const NsQlUiElem::QlElemData& data) {
  auto ui = std::dynamic_pointer_cast<Ui>(data.ui);
  if (!ui) return nullptr;
  return std::make_shared<Host>(std::move(ui), std::dynamic_pointer_cast<Io>(data.io));
}

}  // namespace

std::shared_ptr<UiElem> CreateElemFromData(const NsQlUiElem::QlElemData& data) {
  if (!data.ui) return nullptr;
  std::shared_ptr<TUiHost> host;
  switch (data.type) {
    case NsQlUiElem::kElemText:
      host = MakeHost<QlEHostText, NsQlUiElem::QlUiText, NsQlElemIo::QlTextIo>(data);
      break;
    case NsQlUiElem::kElemNumber:
      host = MakeHost<QlEHostEdit, NsQlUiElem::QlUiEdit, NsQlElemIo::QlEditIo>(data);
      break;
    case NsQlUiElem::kElemString:
      host = MakeHost<QlEHostString, NsQlUiElem::QlUiEdit, NsQlElemIo::QlStringIo>(data);
      break;
    case NsQlUiElem::kElemButton:
      host = MakeHost<QlEHostButton, NsQlUiElem::QlUiButton, NsQlElemIo::QlButtonIo>(data);
      break;
    default:
      return nullptr;
  }
  if (!host) return nullptr;
  return std::make_shared<UiElem>(std::move(host));
}

}  // namespace NsOvrin::NsQlElemEditor
