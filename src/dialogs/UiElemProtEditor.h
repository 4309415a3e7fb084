#pragma once
// The editor part of the fourteen element property pages: the selection the
// page was bound to, and the rule by which an accepted edit reaches every
// selected element.
#include <functional>
#include <memory>
#include <vector>

#include "dialogs/ProtEditor.h"
#include "editor/QlEHostElem.h"
#include "editor/UiElem.h"
#include "element_io/BaseIoData.h"

namespace NsOvrin {

class UiElemProtEditor : public ProtEditor {
 public:
  using Selection = std::vector<std::shared_ptr<NsUiD2ElemEditor::UiElem>>;

  // What an edit does to each element after writing the value.
  enum class FollowUp {
    None,        // display settings
    Check,       // the error mark again, without binding
    Revalidate,  // bind again, then the error mark
  };

  // Loads the page from the selection's anchored element; never empty.
  virtual void Bind(const Selection& elems) = 0;
  // Hides the window and lets the selection go.
  void Hide() override;

  // The anchored element's host; empty when it is not an element host.
  std::shared_ptr<NsQlElemEditor::QlEHostElem> GetAnchored() const;

  // One walk of the selection: write is called with the host of every
  // element that has one, and decides itself whether the element has what
  // the property lives in (true: written, follow up). NotifyChanged is left
  // to the caller.
  void ForEachSelectedHost(FollowUp followUp,
                           const std::function<bool(NsQlElemEditor::QlEHostElem&)>& write);

  // The same walk for a property of the record (of class TUi) or of the
  // binding (of class TIo); elements without one are skipped. Then
  // NotifyChanged, once.
  template <class TUi>
  void ApplyToRecords(FollowUp followUp, const std::function<void(TUi&)>& write) {
    ForEachSelectedHost(followUp, [&](NsQlElemEditor::QlEHostElem& host) {
      const auto ui = std::dynamic_pointer_cast<TUi>(host.GetUi());
      if (!ui) return false;
      write(*ui);
      return true;
    });
    NotifyChanged();
  }
  template <class TIo>
  void ApplyToBindings(FollowUp followUp, const std::function<void(TIo&)>& write) {
    ForEachSelectedHost(followUp, [&](NsQlElemEditor::QlEHostElem& host) {
      const auto io = std::dynamic_pointer_cast<TIo>(host.GetIo());
      if (!io) return false;
      write(*io);
      return true;
    });
    NotifyChanged();
  }
  // The visibility settings at the start of every binding.
  void ApplyToBaseIoData(FollowUp followUp,
                         const std::function<void(NsQlElemIo::BaseIoData&)>& write);

  // Shares the wrappers with the canvas until the next Bind or Hide.
  Selection selection;
};

}  // namespace NsOvrin
