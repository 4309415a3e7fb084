#pragma once
// The property pane "属性", docked on the right of the main frame. It shows
// the property page of the kind of the active page view's selection, bound
// to that selection, or the page's own property page when nothing is
// selected; selections of mixed kinds show no page and "--- 无控件 ---".
// Each property page is made once, on first need, and kept for the pane's
// life. The pane holds the change callback that the active page view
// installs and hands it to the page it shows, so that an accepted edit
// marks the page modified and repaints it.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include <QDockWidget>

#include "editor/UiElemSelListener.h"

class QPainter;

namespace NsOvrin {

class ProtEditor;

class CPropertiesWnd : public QDockWidget, public NsUiD2ElemEditor::UiElemSelListener {
 public:
  // The pane's id doubles as the command that shows or hides it.
  static constexpr int IDD_PROPERTIES = 150;
  // Painting of the pane around and without a page (0x00BBGGRR).
  static constexpr uint32_t kBackgroundColour = 0xE0E0E0;
  static constexpr uint32_t kSeparatorColour = 0xA0A0A0;
  static constexpr int kEmptyTextSize = 100;
  static constexpr const char* kEmptyText = "--- 无控件 ---";
  static constexpr int kMinimumHeight = 100;

  // The kind that stands for the page itself in the page table.
  static constexpr int kPageType = 0;
  // One property page per element kind (1 to 14) and one for the page.
  static constexpr int kPageCount = 15;

  // How one kind's property page is made: a modeless child of parent,
  // hidden until the pane shows it.
  using PageMaker = std::unique_ptr<ProtEditor> (*)(QWidget* parent);
  struct PageKind {
    int type;        // element kind, or kPageType
    int templateId;  // the page's dialog id
    PageMaker make;  // null while the kind has no page
  };
  // Every kind, in the order the pane keeps their pages.
  static const std::array<PageKind, kPageCount>& PageKinds();

  // Registers as the selection listener.
  explicit CPropertiesWnd(QWidget* parent = nullptr);
  CPropertiesWnd(const CPropertiesWnd&) = delete;
  CPropertiesWnd& operator=(const CPropertiesWnd&) = delete;
  // Destroys the pages it made and leaves the selection registry.
  ~CPropertiesWnd() override;

  // UiElemSelListener
  void OnSelectionChanged(
      const std::vector<std::shared_ptr<NsUiD2ElemEditor::UiElem>>& selection) override;
  void OnPageSelected(const std::shared_ptr<QlEPage>& page) override;
  void OnSelectionCleared() override;

  // The one way a page becomes visible; null shows none.
  void SetCurrentEditor(ProtEditor* editor);
  ProtEditor* GetCurrentEditor() const { return current_; }
  // The kind's page when it has been made; null otherwise.
  ProtEditor* GetCreatedPage(int type) const;
  // Where the pages live and the pane paints.
  QWidget* GetClientArea() const { return client_; }

  // Installed and emptied by the active page view; the page shown points
  // at it.
  std::function<void()> changeCallback;

  // Painting and sizing of the client area.
  void OnPaint(QPainter& painter);
  void OnSize();

 private:
  // The kind's page, made on first need; null when the kind has none.
  ProtEditor* PageOf(int type);
  void DrawBackground(QPainter& painter);
  void DrawSeparator(QPainter& painter);
  // Hides what is shown, and the pane paints "--- 无控件 ---".
  void ShowNothing();

  QWidget* client_ = nullptr;
  ProtEditor* current_ = nullptr;
  std::array<std::unique_ptr<ProtEditor>, kPageCount> pages_;
};

}  // namespace NsOvrin
