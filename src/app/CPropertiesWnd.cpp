#include "app/CPropertiesWnd.h"

#include <algorithm>

#include <QPainter>
#include <QStyle>

#include "QlUiElem/QlUiElemDef.h"
#include "app/CDlgQlFuncList.h"
#include "dialogs/CDlgProtAlarmHist.h"
#include "dialogs/CDlgProtAlarmList.h"
#include "dialogs/CDlgProtBtnUser.h"
#include "dialogs/CDlgProtButton.h"
#include "dialogs/CDlgProtEdit.h"
#include "dialogs/CDlgProtImage.h"
#include "dialogs/CDlgProtMultFuncBtn.h"
#include "dialogs/CDlgProtMultStateText.h"
#include "dialogs/CDlgProtNavBar.h"
#include "dialogs/CDlgProtOvTable.h"
#include "dialogs/CDlgProtPage.h"
#include "dialogs/CDlgProtPageTo.h"
#include "dialogs/CDlgProtPanel.h"
#include "dialogs/CDlgProtString.h"
#include "dialogs/CDlgProtText.h"
#include "dialogs/ProtEditor.h"
#include "dialogs/UiElemProtEditor.h"
#include "dialogs/UiPageProtEditor.h"
#include "wui/DlgItem.h"
#include "wui/FontManager.h"
#include "wui/QtUiServices.h"

namespace NsOvrin {

using namespace NsQlUiElem;
using NsUiD2ElemEditor::UiElem;

namespace {

template <class TPage>
std::unique_ptr<ProtEditor> MakePage(QWidget* parent) {
  return std::make_unique<TPage>(parent);
}

// "查看指令" shows the process-wide instruction reference, which lives in
// this layer.
template <>
std::unique_ptr<ProtEditor> MakePage<CDlgProtMultFuncBtn>(QWidget* parent) {
  auto page = std::make_unique<CDlgProtMultFuncBtn>(parent);
  page->funcListWindow = [] { return static_cast<QWidget*>(CDlgQlFuncList::Instance()); };
  return page;
}

// The property page of every kind, in the order the pane keeps them. A kind
// whose page does not exist yet has no maker (null): the pane shows no page
// for it. A new page takes its row with MakePage<its class>.
const std::array<CPropertiesWnd::PageKind, CPropertiesWnd::kPageCount> kPageKinds = {{
    {CPropertiesWnd::kPageType, CDlgProtPage::IDD, &MakePage<CDlgProtPage>},
    {kElemText, CDlgProtText::IDD, &MakePage<CDlgProtText>},
    {kElemMultiStateLabel, CDlgProtMultStateText::IDD, &MakePage<CDlgProtMultStateText>},
    {kElemNumber, CDlgProtEdit::IDD, &MakePage<CDlgProtEdit>},
    {kElemString, CDlgProtString::IDD, &MakePage<CDlgProtString>},
    {kElemButton, CDlgProtButton::IDD, &MakePage<CDlgProtButton>},
    {kElemPageTo, CDlgProtPageTo::IDD, &MakePage<CDlgProtPageTo>},
    {kElemPicture, CDlgProtImage::IDD, &MakePage<CDlgProtImage>},
    {kElemPanel, CDlgProtPanel::IDD, &MakePage<CDlgProtPanel>},
    {kElemNavBar, CDlgProtNavBar::IDD, &MakePage<CDlgProtNavBar>},
    {kElemAlarmList, CDlgProtAlarmList::IDD, &MakePage<CDlgProtAlarmList>},
    {kElemAlarmHist, CDlgProtAlarmHist::IDD, &MakePage<CDlgProtAlarmHist>},
    {kElemBtnLogin, CDlgProtBtnUser::IDD, &MakePage<CDlgProtBtnUser>},
    {kElemMultFunc, CDlgProtMultFuncBtn::IDD, &MakePage<CDlgProtMultFuncBtn>},
    {kElemOVTable, CDlgProtOvTable::IDD, &MakePage<CDlgProtOvTable>},
}};

int IndexOfType(int type) {
  for (std::size_t i = 0; i < kPageKinds.size(); ++i) {
    if (kPageKinds[i].type == type) return static_cast<int>(i);
  }
  return -1;
}

// The type an element shows; an element without a host has none.
int TypeOf(const std::shared_ptr<UiElem>& elem) {
  return elem && elem->host ? elem->host->GetType() : kElemNone;
}

// The client area: the pane paints here and the pages are its children.
class PaneClient : public QWidget {
 public:
  PaneClient(CPropertiesWnd& pane, QWidget* parent) : QWidget(parent), pane_(pane) {}

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    pane_.OnPaint(painter);
  }
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    pane_.OnSize();
  }

 private:
  CPropertiesWnd& pane_;
};

}  // namespace

const std::array<CPropertiesWnd::PageKind, CPropertiesWnd::kPageCount>&
CPropertiesWnd::PageKinds() {
  return kPageKinds;
}

CPropertiesWnd::CPropertiesWnd(QWidget* parent) : QDockWidget(QStringLiteral("属性"), parent) {
  NsWui::SetDlgItemId(this, IDD_PROPERTIES);
  client_ = new PaneClient(*this, this);
  setWidget(client_);
  std::vector<UiElemSelListener*>& registry = GetRegistry();
  UiElemSelListener* self = this;
  if (std::find(registry.begin(), registry.end(), self) == registry.end()) {
    registry.push_back(self);
  }
}

CPropertiesWnd::~CPropertiesWnd() {
  std::erase(GetRegistry(), static_cast<UiElemSelListener*>(this));
  current_ = nullptr;
  for (std::unique_ptr<ProtEditor>& page : pages_) page.reset();
}

ProtEditor* CPropertiesWnd::GetCreatedPage(int type) const {
  const int index = IndexOfType(type);
  return index >= 0 ? pages_[static_cast<std::size_t>(index)].get() : nullptr;
}

ProtEditor* CPropertiesWnd::PageOf(int type) {
  const int index = IndexOfType(type);
  if (index < 0) return nullptr;
  std::unique_ptr<ProtEditor>& page = pages_[static_cast<std::size_t>(index)];
  if (!page) {
    const PageMaker make = kPageKinds[static_cast<std::size_t>(index)].make;
    if (make == nullptr) return nullptr;
    page = make(client_);
    if (QWidget* window = page ? page->GetWindow() : nullptr) {
      // A dialog made with a parent still comes out as a window of its own;
      // the pane wants it inside its client area.
      if (window->isWindow()) window->setWindowFlags(Qt::Widget);
      window->hide();
    }
  }
  return page.get();
}

void CPropertiesWnd::OnSelectionChanged(const std::vector<std::shared_ptr<UiElem>>& selection) {
  if (selection.empty()) return;
  const int type = TypeOf(selection.front());
  for (const std::shared_ptr<UiElem>& elem : selection) {
    if (TypeOf(elem) != type) {
      ShowNothing();
      return;
    }
  }
  if (type < kElemText || type > kElemOVTable) return;
  auto* editor = dynamic_cast<UiElemProtEditor*>(PageOf(type));
  if (editor == nullptr) {
    SetCurrentEditor(nullptr);
    return;
  }
  SetCurrentEditor(editor);
  editor->Bind(selection);
}

void CPropertiesWnd::OnPageSelected(const std::shared_ptr<QlEPage>& page) {
  // Without a page there is nothing to edit.
  if (!page) {
    ShowNothing();
    return;
  }
  auto* editor = dynamic_cast<UiPageProtEditor*>(PageOf(kPageType));
  if (editor == nullptr) {
    SetCurrentEditor(nullptr);
    return;
  }
  SetCurrentEditor(editor);
  editor->Bind(page);
}

void CPropertiesWnd::OnSelectionCleared() { ShowNothing(); }

void CPropertiesWnd::ShowNothing() {
  if (current_ != nullptr) current_->Hide();
  current_ = nullptr;
  client_->update();
}

void CPropertiesWnd::SetCurrentEditor(ProtEditor* editor) {
  if (editor == current_) return;
  if (current_ != nullptr) current_->Hide();
  current_ = editor;
  if (editor == nullptr) {
    // The empty pane shows its text again.
    client_->update();
    return;
  }
  if (QWidget* window = editor->GetWindow()) {
    window->setGeometry(0, 0, client_->width(), client_->height());
    window->raise();
    window->show();
    window->repaint();
  }
  client_->update();
  // The page's width replaces the frame's first minimum, so the pane can
  // shrink to it.
  const int scrollBar = client_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const QSize minimum(editor->contentWidth + scrollBar + 6, kMinimumHeight);
  client_->setMinimumSize(minimum);
  setMinimumSize(minimum);
  editor->changeCallback = &changeCallback;
}

void CPropertiesWnd::OnSize() {
  if (current_ == nullptr) return;
  if (QWidget* window = current_->GetWindow()) {
    window->setGeometry(0, 0, client_->width(), client_->height());
  }
}

void CPropertiesWnd::OnPaint(QPainter& painter) {
  DrawBackground(painter);
  if (current_ != nullptr) {
    DrawSeparator(painter);
    return;
  }
  if (const QFont* font = NsWui::FontManager::Instance().GetDefaultFaceFont(kEmptyTextSize)) {
    painter.setFont(*font);
  }
  painter.setPen(Qt::black);
  painter.drawText(client_->rect(), Qt::AlignCenter | Qt::TextSingleLine,
                   QString::fromUtf8(kEmptyText));
}

void CPropertiesWnd::DrawBackground(QPainter& painter) {
  const QColor background = NsWui::ColorRefToQColor(kBackgroundColour);
  QRect area = client_->rect();
  if (current_ != nullptr && current_->GetWindow() != nullptr) {
    // Only the strip right of the page is the pane's own.
    area.setLeft(current_->GetWindow()->geometry().right() + 1);
  }
  if (area.isValid()) painter.fillRect(area, background);
}

void CPropertiesWnd::DrawSeparator(QPainter& painter) {
  QWidget* window = current_->GetWindow();
  if (window == nullptr) return;
  const int x = window->geometry().right() + 1;
  painter.setPen(QPen(NsWui::ColorRefToQColor(kSeparatorColour), 1.0));
  painter.drawLine(x, window->geometry().top(), x, client_->height() - 1);
}

}  // namespace NsOvrin
