#pragma once
// The part of a grid that owns its in-place editors: it makes them, keeps
// them registered with the cells they serve, shows the right one over a
// clicked cell and ends the edit. The grid supplies its window and cells.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QMetaObject>

#include "wui/OvRtHitTestBase.h"
#include "wui/RtEditorBase.h"
#include "wui/WRect.h"

class QAbstractItemView;
class QAbstractScrollArea;
class QObject;
class QWidget;

namespace NsOvrin::NsWui {

class RtComboBox;
class RtConfirmEdit;
class RtEdit;

struct RtEditorEntry {
  std::shared_ptr<OvRtHitTestBase> hitTest;
  std::shared_ptr<RtEditorBase> editor;
};

// The font of dialog controls.
void SetDefaultGuiFont(QWidget* window);

class RtEditorMngBase {
 public:
  // An editor reporting this id is never taken for the current one.
  static constexpr int kNoControlId = 0xFFFFFF;

  RtEditorMngBase() = default;
  virtual ~RtEditorMngBase();
  RtEditorMngBase(const RtEditorMngBase&) = delete;
  RtEditorMngBase& operator=(const RtEditorMngBase&) = delete;

  // Hides the current editor; there is no current one afterwards.
  virtual void EndEdit();
  // The parent of the editor windows; cell rectangles are in its
  // coordinates.
  virtual QWidget* GetHostWnd() = 0;
  virtual WRect GetCellRect(int row, int col) = 0;
  virtual std::string GetCellText(int row, int col) = 0;
  virtual void SetCellText(int row, int col, const std::string& text) = 0;
  virtual QWidget* GetOwnerWnd() = 0;

  // Each makes a hidden editor window on the host with a free id; the
  // editor is not registered.
  std::shared_ptr<RtEdit> MakeEdit();
  std::shared_ptr<RtComboBox> MakeComboBox();
  std::shared_ptr<RtConfirmEdit> MakeConfirmEdit();

  // Registers an editor for the cells of a column from a first row down and
  // returns a copy of the entry; a null editor registers nothing and gives
  // an empty entry.
  RtEditorEntry AddColumnEditor(int col, std::shared_ptr<RtEditorBase> editor, int firstRow);
  RtEditorEntry AddColumnWndEditor(int col, const std::shared_ptr<RtEdit>& editor, int firstRow);
  RtEditorEntry AddColumnWndEditor(int col, const std::shared_ptr<RtComboBox>& editor, int firstRow);

  // From the number of entries on, the first larger id no registered editor
  // has.
  int GetFreeControlId() const;
  // Ends the edit, then shows the first enabled editor that accepts the
  // cell; the commit writes into that cell.
  void BeginEdit(int row, int col);
  // Ends the edit, destroys every editor window and forgets the editors.
  void DestroyEditors();

  // The editor being shown; null when none is.
  std::shared_ptr<RtEditorBase> CurrentEditor() const;

  // The cells moved under an open editor, from row first down: the edit
  // ends, as a scroll ends it, so that no editor stays over a cell other
  // than the one it writes. Nothing when no edit is open or it lies above.
  void CellsMoved(int first = 0);
  // The cells were laid out anew (columns resized, moved or hidden, rows
  // made higher, a header shown or hidden, the grid resized): an open
  // editor moves and stretches as its cell did; when the cell left the view
  // (its column hidden or out of sight), the edit ends as a scroll ends it.
  void FollowCell();
  // An editor is shown and its cell is no longer where it was placed.
  bool CellMovedUnderEditor();
  // FollowCell once the grid's present change is over: a view may report a
  // new layout in the middle of one, while its cells are not laid out yet.
  // Calls made meanwhile add nothing.
  void FollowCellLater(QObject& grid);
  // Calls CellsMoved whenever the grid's scroll position changes, by
  // whatever route: its bars, the wheel, keys, a resize that clamps it,
  // rows taken away, code. Each grid asks for it once.
  void FollowScrolling(QAbstractScrollArea& grid);
  // Calls CellsMoved whenever rows of the grid's model are added, taken
  // away or moved at or above the open edit, or the model is laid out anew.
  void FollowRows(QAbstractItemView& grid);

  std::vector<RtEditorEntry> entries;
  // Of the last BeginEdit; owners read them in their hooks.
  int editRow = -1;
  int editCol = -1;
  bool editingEnabled = true;

 private:
  void OnEditorClose(RtEditorBase* editor);
  template <class Editor>
  void Adopt(Editor& editor);

  std::optional<std::size_t> current_;
  bool followPending_ = false;
  // The cell's rectangle where the current editor was last placed.
  WRect editCell_;
  // Of FollowScrolling and FollowRows; they go with this part.
  std::vector<QMetaObject::Connection> watches_;
};

}  // namespace NsOvrin::NsWui
