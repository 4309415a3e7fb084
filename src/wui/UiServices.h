#pragma once
// Everything that asks the user something outside the current window goes
// through this interface: message boxes, balloon tips and the file, folder
// and colour pickers. The Qt implementation is installed by default; tests
// install a scripted one and assert every message verbatim.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace NsOvrin::NsWui {

// Message box types: one button set ORed with one icon.
inline constexpr uint32_t MB_OK = 0x0;
inline constexpr uint32_t MB_OKCANCEL = 0x1;
inline constexpr uint32_t MB_ABORTRETRYIGNORE = 0x2;
inline constexpr uint32_t MB_YESNOCANCEL = 0x3;
inline constexpr uint32_t MB_YESNO = 0x4;
inline constexpr uint32_t MB_RETRYCANCEL = 0x5;
inline constexpr uint32_t MB_TYPEMASK = 0xF;
inline constexpr uint32_t MB_ICONERROR = 0x10;
inline constexpr uint32_t MB_ICONQUESTION = 0x20;
inline constexpr uint32_t MB_ICONWARNING = 0x30;
inline constexpr uint32_t MB_ICONINFORMATION = 0x40;
inline constexpr uint32_t MB_ICONMASK = 0xF0;

// Answers of a message box, and the results of modal dialogs.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

class UiServices {
 public:
  virtual ~UiServices() = default;

  // Modal; returns the ID* of the button that ended it.
  virtual int MessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                         uint32_t type) = 0;
  // A tip pointing at the widget; it does not take the focus.
  virtual void ShowBalloonTip(QWidget* widget, const std::string& title,
                              const std::string& text) = 0;
  // filter is in the "desc|pattern|desc|pattern||" form; initialPath may be
  // empty. False when the user cancels (path untouched).
  virtual bool GetOpenFileName(QWidget* parent, const std::string& filter,
                               const std::string& initialPath, std::string& path) = 0;
  // defaultExt (without the dot, may be empty) is appended to a name typed
  // without extension; replacing an existing file is confirmed first.
  virtual bool GetSaveFileName(QWidget* parent, const std::string& filter,
                               const std::string& defaultExt, const std::string& initialPath,
                               std::string& path) = 0;
  virtual bool BrowseForFolder(QWidget* parent, const std::string& title,
                               const std::string& initialDir, std::string& dir) = 0;
  // Colours are 0x00BBGGRR.
  virtual bool ChooseColor(QWidget* parent, uint32_t initial, uint32_t& colour) = 0;
};

// The installed services; the Qt implementation until another is installed.
UiServices& GetUiServices();
// Installs services owned by the caller; null restores the Qt implementation.
// Returns what was installed before (null for the Qt implementation).
UiServices* SetUiServices(UiServices* services);

// The (description, patterns) pairs of a "desc|pattern||" filter. Parsing
// stops at the first empty description; a description without its pattern
// is dropped.
std::vector<std::pair<std::string, std::string>> ParseFileFilter(const std::string& filter);
// The same filter as Qt's "desc (p1 p2);;desc (p3)" list.
std::string ToQtFileFilter(const std::string& filter);

}  // namespace NsOvrin::NsWui
