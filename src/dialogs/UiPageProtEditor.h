#pragma once
// The editor part of the page's own property page: the page it edits.
#include <memory>

#include "dialogs/ProtEditor.h"

namespace NsOvrin {

class QlEPage;

class UiPageProtEditor : public ProtEditor {
 public:
  // Loads the page's properties.
  virtual void Bind(const std::shared_ptr<QlEPage>& edited) = 0;

  std::shared_ptr<QlEPage> page;
};

}  // namespace NsOvrin
