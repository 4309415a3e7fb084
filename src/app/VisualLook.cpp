#include "app/VisualLook.h"

#include <QApplication>
#include <QColor>
#include <QMainWindow>
#include <QMdiArea>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

#include "wui/ColourContrast.h"

namespace NsOvrin {

namespace {

Office2007Scheme currentScheme = Office2007Scheme::Blue;

struct Tint {
  QColor window;
  QColor button;
  QColor highlight;
  bool dark = false;
  // Text on the highlight: light on the dark ones, dark on the light one.
  QColor highlightedText = Qt::white;
};

Tint TintOf(const VisualLook& look) {
  switch (look.kind) {
    case VisualManagerKind::Base: return {QColor(0xD4D0C8), QColor(0xD4D0C8), QColor(0x0A246A)};
    case VisualManagerKind::OfficeXP: return {QColor(0xF7F6F3), QColor(0xEEEDE5), QColor(0x316AC5)};
    case VisualManagerKind::Windows: return {QColor(0xECE9D8), QColor(0xECE9D8), QColor(0x316AC5)};
    case VisualManagerKind::Office2003:
      return {QColor(0xDCE6F4), QColor(0xC3DAF9), QColor(0x316AC5)};
    case VisualManagerKind::VS2005: return {QColor(0xECE9D8), QColor(0xF5F4EE), QColor(0x316AC5)};
    case VisualManagerKind::VS2008: return {QColor(0xE9ECF0), QColor(0xF0F2F5), QColor(0x3399FF)};
    case VisualManagerKind::Office2007:
      switch (look.scheme) {
        case Office2007Scheme::Blue: return {QColor(0xD6E4F5), QColor(0xDCE8F6), QColor(0x3D7BC8)};
        case Office2007Scheme::Black:
          return {QColor(0x535353), QColor(0x646464), QColor(0xE8A33C), true, Qt::black};
        case Office2007Scheme::Silver:
          return {QColor(0xE5E9EE), QColor(0xEDF0F3), QColor(0x5B7FA8)};
        case Office2007Scheme::Aqua: return {QColor(0xD9E6EC), QColor(0xE2EDF2), QColor(0x3A8AA8)};
      }
      break;
    case VisualManagerKind::Windows7: break;
  }
  return {QColor(0xF0F0F0), QColor(0xF0F0F0), QColor(0x3399FF)};
}

// Disabled texts must still read at 3 : 1; their small glyphs are
// anti-aliased and seldom reach the full colour (drawn, a grey of 3.3 : 1
// measured 3.0 : 1), so the colour keeps room to spare. Enabled texts need
// 4.5 : 1 and keep the same room.
constexpr double kDisabledTextContrast = 3.0 * 1.2;
constexpr double kTextContrast = 4.5 * 1.2;
// The styles draw a push button's face lighter than the button colour,
// lightest at its top; this is at least as light.
constexpr int kButtonFaceLighter = 145;

QPalette PaletteOf(const VisualLook& look, const QPalette& standard) {
  const Tint tint = TintOf(look);
  QPalette palette = standard;
  palette.setColor(QPalette::Window, tint.window);
  if (tint.dark) {
    // The frame goes dark; edits and lists keep dark text on white.
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::white);
  }
  // A button's text must read on the lightest part of its face.
  QColor button = tint.button;
  const QColor buttonText = palette.color(QPalette::Active, QPalette::ButtonText);
  for (int step = 0; step < 20 && NsWui::ContrastRatio(buttonText, button.lighter(kButtonFaceLighter)) < kTextContrast;
       ++step) {
    button = NsWui::RelativeLuminance(buttonText) > 0.5 ? button.darker(110) : button.lighter(110);
  }
  palette.setColor(QPalette::Button, button);
  // Every list and tree of the program draws its selected row with this
  // pair; none names colours of its own.
  palette.setColor(QPalette::Highlight, tint.highlight);
  palette.setColor(QPalette::HighlightedText, tint.highlightedText);

  // Disabled texts are faded toward what lies behind them, as far as they
  // still read there: visibly unlike the enabled ones in every look.
  palette.setColor(QPalette::Disabled, QPalette::WindowText,
                   NsWui::FadedToward(palette.color(QPalette::Active, QPalette::WindowText), tint.window,
                                      kDisabledTextContrast));
  palette.setColor(QPalette::Disabled, QPalette::ButtonText,
                   NsWui::FadedToward(buttonText, button, kDisabledTextContrast,
                                      {button.lighter(kButtonFaceLighter)}));
  palette.setColor(QPalette::Disabled, QPalette::Text,
                   NsWui::FadedToward(palette.color(QPalette::Active, QPalette::Text),
                                      palette.color(QPalette::Disabled, QPalette::Base), kDisabledTextContrast,
                                      {palette.color(QPalette::Active, QPalette::Base)}));
  return palette;
}

}  // namespace

VisualLook SelectVisualLook(int lookId, Office2007Scheme current) {
  VisualLook look;
  look.scheme = current;
  look.smartDocking = true;
  switch (lookId) {
    case kLookBase:
      look.kind = VisualManagerKind::Base;
      look.smartDocking = false;
      break;
    case kLookOfficeXP:
      look.kind = VisualManagerKind::OfficeXP;
      look.smartDocking = false;
      break;
    case kLookWindows:
      look.kind = VisualManagerKind::Windows;
      look.smartDocking = false;
      look.tabs3d = true;
      break;
    case kLookOffice2003: look.kind = VisualManagerKind::Office2003; break;
    case kLookVS2005: look.kind = VisualManagerKind::VS2005; break;
    case kLookVS2008: look.kind = VisualManagerKind::VS2008; break;
    case kLookOffice2007Blue:
      look.kind = VisualManagerKind::Office2007;
      look.scheme = Office2007Scheme::Blue;
      break;
    case kLookOffice2007Black:
      look.kind = VisualManagerKind::Office2007;
      look.scheme = Office2007Scheme::Black;
      break;
    case kLookOffice2007Silver:
      look.kind = VisualManagerKind::Office2007;
      look.scheme = Office2007Scheme::Silver;
      break;
    case kLookOffice2007Aqua:
      look.kind = VisualManagerKind::Office2007;
      look.scheme = Office2007Scheme::Aqua;
      break;
    case kLookWindows7: look.kind = VisualManagerKind::Windows7; break;
    default: look.kind = VisualManagerKind::Office2007; break;
  }
  return look;
}

Office2007Scheme CurrentOffice2007Scheme() { return currentScheme; }

QString StyleNameOf(const VisualLook& look) {
  switch (look.kind) {
    case VisualManagerKind::Base:
    case VisualManagerKind::OfficeXP:
    case VisualManagerKind::Windows: return QStringLiteral("Windows");
    default: return QStringLiteral("Fusion");
  }
}

void ApplyVisualLook(QMainWindow& frame, const VisualLook& look) {
  if (look.kind == VisualManagerKind::Office2007) currentScheme = look.scheme;
  const QString styleName = StyleNameOf(look);
  if (QApplication::style() == nullptr ||
      QApplication::style()->name().compare(styleName, Qt::CaseInsensitive) != 0) {
    if (QStyle* style = QStyleFactory::create(styleName)) QApplication::setStyle(style);
  }
  if (QApplication::style() != nullptr) {
    QApplication::setPalette(PaletteOf(look, QApplication::style()->standardPalette()));
  }

  QMainWindow::DockOptions options = QMainWindow::AllowNestedDocks | QMainWindow::AllowTabbedDocks;
  if (look.smartDocking) options |= QMainWindow::AnimatedDocks;
  frame.setDockOptions(options);
  if (auto* area = qobject_cast<QMdiArea*>(frame.centralWidget()))
    area->setDocumentMode(!look.tabs3d);
}

}  // namespace NsOvrin
