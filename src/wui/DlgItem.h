#pragma once
// Dialog controls keep their numeric id as object name, so that owners and
// tests find them by id.
#include <cstdint>
#include <string_view>

#include <QWidget>

namespace NsOvrin::NsWui {

inline void SetDlgItemId(QWidget* control, int id) {
  control->setObjectName(QString::number(id));
}

// The first descendant of dialog with that id; null when none.
inline QWidget* GetDlgItem(const QWidget* dialog, int id) {
  return dialog->findChild<QWidget*>(QString::number(id));
}

// The control of that id as T; null when it is missing or of another kind.
template <class T>
T* DlgItem(const QWidget* dialog, int id) {
  return dynamic_cast<T*>(GetDlgItem(dialog, id));
}

// The integer a dialog reads from an edit: blanks at the start are skipped,
// then (signed only) one '-', then decimal digits up to the first other
// character. No digit, or a value beyond the 32-bit range, gives 0 with
// translated false.
int64_t ParseDlgItemInt(std::string_view text, bool isSigned, bool* translated = nullptr);

// The same on the text of the control (a QLineEdit) of that id; 0 when there
// is none.
int32_t GetDlgItemInt(const QWidget* dialog, int id, bool* translated, bool isSigned);
// Writes the value as decimal text into the control (a QLineEdit) of that id.
void SetDlgItemInt(QWidget* dialog, int id, int64_t value);

}  // namespace NsOvrin::NsWui
