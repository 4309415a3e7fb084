#pragma once
// The program's visual styles. The registry value "ApplicationLook" holds a
// look command id; each id stands for one style family, and the Office 2007
// family has four colour schemes of which the last one chosen stays current.
#include <QString>

class QMainWindow;

namespace NsOvrin {

enum class VisualManagerKind {
  Base,        // 205
  OfficeXP,    // 206
  Windows,     // 207, with 3-D tabs
  Office2003,  // 208
  VS2005,      // 209
  VS2008,      // 210
  Office2007,  // 215-218, and every unknown id
  Windows7,    // 219
};

enum class Office2007Scheme { Blue, Black, Silver, Aqua };

struct VisualLook {
  VisualManagerKind kind = VisualManagerKind::Windows7;
  // The Office 2007 scheme in force once the look is applied.
  Office2007Scheme scheme = Office2007Scheme::Blue;
  // Animated docking hints; off for the three plain looks 205-207.
  bool smartDocking = true;
  // Tabs drawn raised (the Windows look).
  bool tabs3d = false;
};

inline constexpr int kLookBase = 205;
inline constexpr int kLookOfficeXP = 206;
inline constexpr int kLookWindows = 207;
inline constexpr int kLookOffice2003 = 208;
inline constexpr int kLookVS2005 = 209;
inline constexpr int kLookVS2008 = 210;
inline constexpr int kLookOffice2007Blue = 215;
inline constexpr int kLookOffice2007Black = 216;
inline constexpr int kLookOffice2007Silver = 217;
inline constexpr int kLookOffice2007Aqua = 218;
inline constexpr int kLookWindows7 = 219;
inline constexpr int kLookDefault = kLookWindows7;

// The look of an id; an unknown id keeps the current Office 2007 scheme.
VisualLook SelectVisualLook(int lookId, Office2007Scheme current);

// The scheme the last applied Office 2007 look chose; blue at start.
Office2007Scheme CurrentOffice2007Scheme();

// Style, palette and docking of the application and its main window; an
// Office 2007 look also makes its scheme current.
void ApplyVisualLook(QMainWindow& frame, const VisualLook& look);

// The Qt widget style a look draws with.
QString StyleNameOf(const VisualLook& look);

}  // namespace NsOvrin
