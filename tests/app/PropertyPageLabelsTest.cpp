// The texts of every property page as the running editor draws them in each
// look the program offers, measured from the page's pixels: the static texts
// read on the page's fill, in the page's grey wherever that one reads; every
// static text, radio button, check box, push button and edit reads enabled
// and, less strongly but still, disabled.
#include <QAbstractSlider>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "RunningEditorFixture.h"
#include "app/VisualLook.h"
#include "dialogs/ProtDialog.h"
#include "wui/CColorButton.h"
#include "wui/CColorfulStatic.h"
#include "wui/CMtRadioButton.h"
#include "wui/SelectedRowCheck.h"

namespace NsOvrin::Testing {
namespace {

using NsWui::Testing::ColourCounts;
using NsWui::Testing::Commonest;
using NsWui::Testing::Contrast;

constexpr double kReadable = 4.5;
// Where the grey itself has this much, it must be kept (the drawn glyphs'
// edges lose a little of it).
constexpr double kGreyClearlyReads = kReadable * 1.05;
// The pages' grey, 0x606870 as 0x00BBGGRR.
constexpr QRgb kPageGrey = 0x706860;

class PropertyPageLabels : public RunningEditorFixture {
 protected:
  void TearDown() override {
    if (frame_ != nullptr) ApplyVisualLook(*frame_, SelectVisualLook(kLookDefault, CurrentOffice2007Scheme()));
    RunningEditorFixture::TearDown();
  }
};

struct LabelLook {
  QRgb fill = 0;
  QRgb text = 0;
};

// Under a label, which paints no background of its own: the commonest colour
// is the page's fill, the pixel standing out most from it is the text.
LabelLook LookUnder(const QImage& image, const QRect& rect) {
  const std::map<QRgb, int> counts = ColourCounts(image, rect);
  LabelLook look;
  look.fill = Commonest(counts);
  double best = 0.0;
  for (const auto& [colour, count] : counts) {
    if (Contrast(colour, look.fill) > best) {
      best = Contrast(colour, look.fill);
      look.text = colour;
    }
  }
  return look;
}

std::string Hex(QRgb colour) {
  char text[8];
  std::snprintf(text, sizeof text, "%06X", colour & 0xFFFFFF);
  return text;
}

constexpr int kLooks[] = {kLookBase,           kLookOfficeXP,        kLookWindows,
                          kLookOffice2003,     kLookVS2005,          kLookVS2008,
                          kLookOffice2007Blue, kLookOffice2007Black, kLookOffice2007Silver,
                          kLookOffice2007Aqua, kLookWindows7};

// Walks the page down from its top, a page step at a time, and hands each
// widget to measure the first time it is wholly shown, with the page's
// pixels; the widgets never wholly shown are left in pending.
void MeasureDownThePage(QWidget* page, QScrollBar* bar, std::set<QWidget*>& pending,
                        const std::function<void(const QImage&, QWidget*, const QRect&)>& measure) {
  if (bar != nullptr) bar->triggerAction(QAbstractSlider::SliderToMinimum);
  for (;;) {
    QCoreApplication::processEvents();
    const QImage image = page->grab().toImage();
    for (auto it = pending.begin(); it != pending.end();) {
      const QRect rect((*it)->mapTo(page, QPoint(0, 0)), (*it)->size());
      if (!page->rect().contains(rect)) {
        ++it;
        continue;
      }
      measure(image, *it, rect);
      it = pending.erase(it);
    }
    if (pending.empty() || bar == nullptr || bar->value() >= bar->maximum()) break;
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  }
  if (bar != nullptr) bar->triggerAction(QAbstractSlider::SliderToMinimum);
}

TEST_F(PropertyPageLabels, EveryLabelOfEveryPageReadsInEveryLook) {
  const auto& looks = kLooks;
  std::set<int> greyKept;
  std::set<int> greyReplaced;
  // The page itself first, then one element of each kind, inserted with its
  // tool where nothing lies.
  for (int kind = CPropertiesWnd::kPageType; kind <= NsQlUiElem::kElemOVTable; ++kind) {
    SCOPED_TRACE("kind " + std::to_string(kind));
    QWidget* page = ShowPropertyPageOf(kind);
    ASSERT_NE(page, nullptr);
    auto* framed = dynamic_cast<ProtDialog*>(page);
    QScrollBar* bar = framed != nullptr ? framed->VScrollBar() : nullptr;

    std::vector<QLabel*> labels;
    for (QLabel* label : page->findChildren<QLabel*>()) {
      if (label->isVisibleTo(page) && !label->text().isEmpty() &&
          dynamic_cast<NsWui::CColorfulStatic*>(label) == nullptr) {
        labels.push_back(label);
      }
    }
    ASSERT_FALSE(labels.empty());

    for (const int id : looks) {
      SCOPED_TRACE("look " + std::to_string(id));
      ApplyVisualLook(*frame_, SelectVisualLook(id, CurrentOffice2007Scheme()));
      QCoreApplication::processEvents();
      // Page by page down the page, each label where it is wholly shown.
      std::set<QWidget*> pending(labels.begin(), labels.end());
      MeasureDownThePage(page, bar, pending, [&](const QImage& image, QWidget* widget, const QRect& rect) {
        const LabelLook look = LookUnder(image, rect);
        const std::string what = static_cast<QLabel*>(widget)->text().toStdString() + " in " +
                                 Hex(look.text) + " on " + Hex(look.fill);
        EXPECT_GE(Contrast(look.text, look.fill), kReadable) << what;
        if (framed != nullptr) {
          // The glyphs' edges may leave the darkest pixel a shade off.
          const bool grey = Contrast(look.text, kPageGrey) < 1.05;
          if (Contrast(kPageGrey, look.fill) >= kGreyClearlyReads) {
            EXPECT_TRUE(grey) << what;
          }
          (grey ? greyKept : greyReplaced).insert(id);
        }
      });
      EXPECT_TRUE(pending.empty()) << pending.size() << " labels never wholly shown";
    }
  }
  // Both sides were met: the dark look replaces the grey, the default keeps it.
  EXPECT_EQ(greyReplaced.count(kLookOffice2007Black), 1u);
  EXPECT_EQ(greyKept.count(kLookWindows7), 1u);
}

// Enabled texts must read at kReadable, disabled ones at least at this, and
// the two must tell apart: a step of 1.3 : 1 is plain to see side by side.
constexpr double kDisabledReadable = 3.0;
constexpr double kStatesApart = 1.3;

enum class TextKind { Label, Radio, Check, Button, Edit };

const char* NameOf(TextKind kind) {
  switch (kind) {
    case TextKind::Label: return "static";
    case TextKind::Radio: return "radio button";
    case TextKind::Check: return "check box";
    case TextKind::Button: return "push button";
    case TextKind::Edit: return "edit";
  }
  return "";
}

// Where a button draws its text, in its own coordinates: a radio button or
// check box beside its mark, a push button inside its frame.
QRect TextAreaOf(QAbstractButton* button, TextKind kind) {
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  option.rect = button->rect();
  QStyle* style = button->style();
  switch (kind) {
    case TextKind::Radio: return style->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
    case TextKind::Check: return style->subElementRect(QStyle::SE_CheckBoxContents, &option, button);
    default: return style->subElementRect(QStyle::SE_PushButtonContents, &option, button).adjusted(2, 2, -2, -2);
  }
}

// A text as drawn: the pixel standing out most from the commonest colour,
// and its contrast against the least favourable fill behind it (a button's
// face is a gradient: each pixel row has a fill of its own).
struct TextLook {
  QRgb text = 0;
  QRgb fill = 0;
  double contrast = 0.0;
};

// How far the shades of one face lie apart at most.
constexpr double kFaceShades = 1.5;

TextLook LookOfText(const QImage& image, const QRect& area) {
  const std::map<QRgb, int> counts = ColourCounts(image, area);
  const QRgb commonest = Commonest(counts);
  TextLook look;
  double best = -1.0;
  for (const auto& [colour, count] : counts) {
    if (Contrast(colour, commonest) > best) {
      best = Contrast(colour, commonest);
      look.text = colour;
    }
  }
  // A row's fill: its commonest colour among those near the commonest of
  // all (the glyphs' pixels stand far from it).
  look.fill = commonest;
  look.contrast = Contrast(look.text, commonest);
  for (int y = area.top(); y <= area.bottom(); ++y) {
    std::map<QRgb, int> row = ColourCounts(image, QRect(area.left(), y, area.width(), 1));
    std::erase_if(row, [commonest](const auto& entry) { return Contrast(entry.first, commonest) >= kFaceShades; });
    if (row.empty()) continue;
    const QRgb fill = Commonest(row);
    if (Contrast(look.text, fill) < look.contrast) {
      look.contrast = Contrast(look.text, fill);
      look.fill = fill;
    }
  }
  return look;
}

TEST_F(PropertyPageLabels, EveryTextReadsEnabledAndDisabledInEveryLook) {
  // Per look: the weakest disabled text and the weakest enabled push button.
  std::map<int, double> weakestDisabled;
  std::map<int, double> weakestButton;
  // And how near a disabled text came to its enabled colour.
  std::map<int, double> nearestStates;
  std::set<TextKind> kindsMet;
  for (int kind = CPropertiesWnd::kPageType; kind <= NsQlUiElem::kElemOVTable; ++kind) {
    SCOPED_TRACE("kind " + std::to_string(kind));
    QWidget* page = ShowPropertyPageOf(kind);
    ASSERT_NE(page, nullptr);
    auto* framed = dynamic_cast<ProtDialog*>(page);
    QScrollBar* bar = framed != nullptr ? framed->VScrollBar() : nullptr;

    std::map<QWidget*, TextKind> texts;
    for (QWidget* widget : page->findChildren<QWidget*>()) {
      if (!widget->isVisibleTo(page)) continue;
      if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (!edit->text().isEmpty()) texts[edit] = TextKind::Edit;
      } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (!label->text().isEmpty() && dynamic_cast<NsWui::CColorfulStatic*>(label) == nullptr) {
          texts[label] = TextKind::Label;
        }
      } else if (auto* button = qobject_cast<QAbstractButton*>(widget); button != nullptr && !button->text().isEmpty()) {
        if (qobject_cast<QRadioButton*>(button) != nullptr) {
          texts[button] = TextKind::Radio;
        } else if (qobject_cast<QCheckBox*>(button) != nullptr) {
          texts[button] = TextKind::Check;
        } else if (qobject_cast<QPushButton*>(button) != nullptr &&
                   dynamic_cast<NsWui::CMtRadioButton*>(button) == nullptr &&
                   dynamic_cast<NsWui::CColorButton*>(button) == nullptr) {
          texts[button] = TextKind::Button;
        }
      }
    }
    ASSERT_FALSE(texts.empty());
    std::map<QWidget*, bool> wasEnabled;
    for (const auto& [widget, textKind] : texts) {
      wasEnabled[widget] = widget->isEnabled();
      kindsMet.insert(textKind);
    }

    for (const int id : kLooks) {
      SCOPED_TRACE("look " + std::to_string(id));
      ApplyVisualLook(*frame_, SelectVisualLook(id, CurrentOffice2007Scheme()));
      std::map<QWidget*, QRgb> enabledText;
      for (const bool enabled : {true, false}) {
        for (const auto& entry : texts) entry.first->setEnabled(enabled);
        std::set<QWidget*> pending;
        for (const auto& entry : texts) pending.insert(entry.first);
        MeasureDownThePage(page, bar, pending, [&](const QImage& image, QWidget* widget, const QRect& rect) {
          const TextKind textKind = texts.at(widget);
          QRect area = rect;
          QString text;
          if (textKind == TextKind::Label) {
            text = static_cast<QLabel*>(widget)->text();
          } else if (textKind == TextKind::Edit) {
            // Inside the frame.
            area = rect.adjusted(3, 3, -3, -3);
            text = static_cast<QLineEdit*>(widget)->text();
          } else {
            area = TextAreaOf(static_cast<QAbstractButton*>(widget), textKind).translated(rect.topLeft()).intersected(rect);
            text = static_cast<QAbstractButton*>(widget)->text();
          }
          const TextLook look = LookOfText(image, area);
          const std::string what = std::string(enabled ? "enabled " : "disabled ") + NameOf(textKind) + " \"" +
                                   text.toStdString() + "\" in " + Hex(look.text) + " on " + Hex(look.fill);
          if (enabled) {
            EXPECT_GE(look.contrast, kReadable) << what;
            enabledText[widget] = look.text;
            if (textKind == TextKind::Button) {
              auto [it, added] = weakestButton.emplace(id, look.contrast);
              if (!added) it->second = std::min(it->second, look.contrast);
            }
          } else {
            EXPECT_GE(look.contrast, kDisabledReadable) << what;
            // Disabled looks disabled: not the enabled text's colour.
            if (enabledText.count(widget) != 0) {
              const double apart = Contrast(look.text, enabledText[widget]);
              EXPECT_GE(apart, kStatesApart) << what << ", enabled in " << Hex(enabledText[widget]);
              auto [it, added] = nearestStates.emplace(id, apart);
              if (!added) it->second = std::min(it->second, apart);
            }
            auto [it, added] = weakestDisabled.emplace(id, look.contrast);
            if (!added) it->second = std::min(it->second, look.contrast);
          }
        });
        EXPECT_TRUE(pending.empty()) << pending.size() << " texts never wholly shown";
      }
    }
    for (const auto& [widget, enabled] : wasEnabled) widget->setEnabled(enabled);
  }
  // Every kind of text was met.
  EXPECT_EQ(kindsMet.size(), 5u);
  for (const int id : kLooks) {
    std::printf("look %d: weakest disabled text %.2f : 1, weakest enabled push button %.2f : 1, "
                "disabled and enabled at least %.2f : 1 apart\n",
                id, weakestDisabled[id], weakestButton[id], nearestStates[id]);
  }
}

}  // namespace
}  // namespace NsOvrin::Testing
