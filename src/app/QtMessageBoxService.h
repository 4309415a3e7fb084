#pragma once
// The project store's message boxes shown through the user-interface
// services, over the widget that stands behind the store's opaque owner
// window.
#include <string>

#include "ui_services/MessageBoxService.h"

class QWidget;

namespace NsOvrin {

class QtMessageBoxService : public MessageBoxService {
 public:
  // The store's handle on a widget, and back; null stays null.
  static ParentWindow* ToParentWindow(QWidget* widget);
  static QWidget* ToWidget(ParentWindow* window);

  void Show(ParentWindow* owner, const std::string& text, const std::string& caption,
            MessageIcon icon) override;
};

}  // namespace NsOvrin
