#include "dialogs/UiElemProtEditor.h"

#include <QWidget>

#include "dialogs/ProtFillers.h"

namespace NsOvrin {

using NsQlElemEditor::QlEHostElem;

void UiElemProtEditor::Hide() {
  if (QWidget* window = GetWindow()) window->hide();
  selection.clear();
}

std::shared_ptr<QlEHostElem> UiElemProtEditor::GetAnchored() const {
  return std::dynamic_pointer_cast<QlEHostElem>(GetAnchoredHost(selection));
}

void UiElemProtEditor::ForEachSelectedHost(FollowUp followUp,
                                           const std::function<bool(QlEHostElem&)>& write) {
  // A copy: a follow-up must not see the walk's vector change under it.
  const Selection elems = selection;
  for (const auto& elem : elems) {
    if (!elem) continue;
    const auto host = std::dynamic_pointer_cast<QlEHostElem>(elem->host);
    if (!host || !write(*host)) continue;
    switch (followUp) {
      case FollowUp::None: break;
      case FollowUp::Check: host->Check(nullptr); break;
      case FollowUp::Revalidate: host->Revalidate(); break;
    }
  }
}

void UiElemProtEditor::ApplyToBaseIoData(
    FollowUp followUp, const std::function<void(NsQlElemIo::BaseIoData&)>& write) {
  ForEachSelectedHost(followUp, [&](QlEHostElem& host) {
    const auto io = host.GetIo();
    NsQlElemIo::BaseIoData* data = io ? io->GetBaseIoData() : nullptr;
    if (data == nullptr) return false;
    write(*data);
    return true;
  });
  NotifyChanged();
}

}  // namespace NsOvrin
