#include "wui/RtEditorMngBase.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QFontDatabase>
#include <QScrollBar>
#include <QWidget>

#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"
#include "wui/RtComboBox.h"
#include "wui/RtConfirmEdit.h"
#include "wui/RtEdit.h"

namespace NsOvrin::NsWui {

void SetDefaultGuiFont(QWidget* window) {
  if (window != nullptr) window->setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
}

RtEditorMngBase::~RtEditorMngBase() {
  // The grid's widget part outlives this part while it is destroyed.
  for (const QMetaObject::Connection& watch : watches_) QObject::disconnect(watch);
}

void RtEditorMngBase::EndEdit() {
  if (!current_) return;
  std::shared_ptr<RtEditorBase> editor = entries[*current_].editor;
  // Forgotten first: hiding may move the focus and make the editor report
  // that it closes.
  current_.reset();
  if (editor) editor->Hide();
}

template <class Editor>
void RtEditorMngBase::Adopt(Editor& editor) {
  editor.closeHook = [this](RtEditorBase* closing) { OnEditorClose(closing); };
}

std::shared_ptr<RtEdit> RtEditorMngBase::MakeEdit() {
  auto* window = new RtEditWindow(GetHostWnd());
  SetDlgItemId(window, GetFreeControlId());
  window->setGeometry(WRect{10, 10, 100, 100}.ToQRect());
  window->hide();
  SetDefaultGuiFont(window);
  auto editor = std::make_shared<RtEdit>(window);
  Adopt(*editor);
  return editor;
}

std::shared_ptr<RtComboBox> RtEditorMngBase::MakeComboBox() {
  auto* window = new RtComboWindow(GetHostWnd());
  SetDlgItemId(window, GetFreeControlId());
  window->setGeometry(WRect{0, 0, 26, 80}.ToQRect());
  window->hide();
  SetDefaultGuiFont(window);
  auto editor = std::make_shared<RtComboBox>(window);
  Adopt(*editor);
  return editor;
}

std::shared_ptr<RtConfirmEdit> RtEditorMngBase::MakeConfirmEdit() {
  auto* control = new CConfirmEditCtrl(GetHostWnd());
  SetDlgItemId(control, GetFreeControlId());
  control->setGeometry(WRect{0, 0, 26, 80}.ToQRect());
  control->hide();
  SetDefaultGuiFont(control);
  auto editor = std::make_shared<RtConfirmEdit>(control);
  Adopt(*editor);
  return editor;
}

RtEditorEntry RtEditorMngBase::AddColumnEditor(int col, std::shared_ptr<RtEditorBase> editor, int firstRow) {
  if (!editor) return {};
  RtEditorEntry entry{std::make_shared<OvColHitTest>(col, firstRow), std::move(editor)};
  entries.push_back(entry);
  return entry;
}

RtEditorEntry RtEditorMngBase::AddColumnWndEditor(int col, const std::shared_ptr<RtEdit>& editor, int firstRow) {
  return AddColumnEditor(col, editor, firstRow);
}

RtEditorEntry RtEditorMngBase::AddColumnWndEditor(int col, const std::shared_ptr<RtComboBox>& editor, int firstRow) {
  return AddColumnEditor(col, editor, firstRow);
}

int RtEditorMngBase::GetFreeControlId() const {
  int id = static_cast<int>(entries.size());
  for (;;) {
    ++id;
    bool used = false;
    for (const RtEditorEntry& entry : entries) {
      if (entry.editor && entry.editor->GetCtrlId() == id) {
        used = true;
        break;
      }
    }
    if (!used) return id;
  }
}

void RtEditorMngBase::BeginEdit(int row, int col) {
  EndEdit();
  if (row == -1 || !editingEnabled) return;
  editRow = row;
  editCol = col;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const RtEditorEntry entry = entries[i];
    if (!entry.hitTest || !entry.editor || !entry.hitTest->enabled || !entry.hitTest->HitTest(row, col)) continue;
    current_ = i;
    entry.editor->commitHook = [this, row, col](std::string& text) { SetCellText(row, col, text); };
    editCell_ = GetCellRect(row, col);
    entry.editor->Show(GetOwnerWnd(), editCell_, GetCellText(row, col));
    return;
  }
}

void RtEditorMngBase::DestroyEditors() {
  EndEdit();
  // The windows may report while they go; the list is walked on a copy.
  const std::vector<RtEditorEntry> doomed = entries;
  for (const RtEditorEntry& entry : doomed) {
    if (!entry.editor) continue;
    entry.editor->DestroyWnd();
    // An owner may keep the editor; it must not reach this grid any more.
    entry.editor->commitHook = nullptr;
    entry.editor->closeHook = nullptr;
  }
  entries.clear();
  current_.reset();
}

std::shared_ptr<RtEditorBase> RtEditorMngBase::CurrentEditor() const {
  if (!current_ || *current_ >= entries.size()) return nullptr;
  return entries[*current_].editor;
}

void RtEditorMngBase::CellsMoved(int first) {
  if (current_ && editRow >= first) EndEdit();
}

bool RtEditorMngBase::CellMovedUnderEditor() {
  const std::shared_ptr<RtEditorBase> editor = CurrentEditor();
  const QWidget* window = editor ? editor->GetWnd() : nullptr;
  return window != nullptr && !window->isHidden() && GetCellRect(editRow, editCol) != editCell_;
}

void RtEditorMngBase::FollowCell() {
  if (!CellMovedUnderEditor()) return;
  QWidget* window = CurrentEditor()->GetWnd();
  const WRect cell = GetCellRect(editRow, editCol);
  const QRect to = cell.ToQRect();
  QWidget* host = GetHostWnd();
  if (to.isEmpty() || host == nullptr || !host->rect().intersects(to)) {
    EndEdit();
    return;
  }
  // The editor keeps what it adds to the cell (a confirm edit its buttons).
  const QRect from = editCell_.ToQRect();
  QRect placed = window->geometry().translated(to.topLeft() - from.topLeft());
  placed.setSize(placed.size() + (to.size() - from.size()));
  editCell_ = cell;
  window->setGeometry(placed);
}

void RtEditorMngBase::FollowCellLater(QObject& grid) {
  if (followPending_) return;
  followPending_ = true;
  QMetaObject::invokeMethod(
      &grid,
      [this] {
        followPending_ = false;
        FollowCell();
      },
      Qt::QueuedConnection);
}

void RtEditorMngBase::FollowScrolling(QAbstractScrollArea& grid) {
  for (QScrollBar* bar : {grid.verticalScrollBar(), grid.horizontalScrollBar()}) {
    watches_.push_back(QObject::connect(bar, &QScrollBar::valueChanged, &grid, [this] { CellsMoved(); }));
  }
}

void RtEditorMngBase::FollowRows(QAbstractItemView& grid) {
  QAbstractItemModel* rows = grid.model();
  if (rows == nullptr) return;
  const auto moved = [this](const QModelIndex&, int first, int) { CellsMoved(first); };
  watches_.push_back(QObject::connect(rows, &QAbstractItemModel::rowsInserted, &grid, moved));
  watches_.push_back(QObject::connect(rows, &QAbstractItemModel::rowsRemoved, &grid, moved));
  watches_.push_back(QObject::connect(
      rows, &QAbstractItemModel::rowsMoved, &grid,
      [this](const QModelIndex&, int first, int, const QModelIndex&, int to) { CellsMoved(std::min(first, to)); }));
  watches_.push_back(QObject::connect(rows, &QAbstractItemModel::layoutChanged, &grid, [this] { CellsMoved(); }));
  watches_.push_back(QObject::connect(rows, &QAbstractItemModel::modelReset, &grid, [this] { CellsMoved(); }));
}

void RtEditorMngBase::OnEditorClose(RtEditorBase* editor) {
  const std::shared_ptr<RtEditorBase> current = CurrentEditor();
  if (!current || editor == nullptr) return;
  const int id = current->GetCtrlId();
  if (id != kNoControlId && editor->GetCtrlId() == id) EndEdit();
}

}  // namespace NsOvrin::NsWui
