// The static texts of every property page as the running editor draws them
// in each look the program offers: measured from the page's pixels, each
// reads on the page's fill, in the page's grey wherever that one reads.
#include <QAbstractSlider>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <map>
#include <set>
#include <string>

#include "RunningEditorFixture.h"
#include "app/VisualLook.h"
#include "dialogs/ProtDialog.h"
#include "wui/CColorfulStatic.h"
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

TEST_F(PropertyPageLabels, EveryLabelOfEveryPageReadsInEveryLook) {
  const int looks[] = {kLookBase,           kLookOfficeXP,        kLookWindows,
                       kLookOffice2003,     kLookVS2005,          kLookVS2008,
                       kLookOffice2007Blue, kLookOffice2007Black, kLookOffice2007Silver,
                       kLookOffice2007Aqua, kLookWindows7};
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
      std::set<QLabel*> pending(labels.begin(), labels.end());
      if (bar != nullptr) bar->triggerAction(QAbstractSlider::SliderToMinimum);
      for (;;) {
        QCoreApplication::processEvents();
        const QImage image = page->grab().toImage();
        for (auto it = pending.begin(); it != pending.end();) {
          QLabel* label = *it;
          const QRect rect(label->mapTo(page, QPoint(0, 0)), label->size());
          if (!page->rect().contains(rect)) {
            ++it;
            continue;
          }
          const LabelLook look = LookUnder(image, rect);
          const std::string what = label->text().toStdString() + " in " + Hex(look.text) + " on " +
                                   Hex(look.fill);
          EXPECT_GE(Contrast(look.text, look.fill), kReadable) << what;
          if (framed != nullptr) {
            // The glyphs' edges may leave the darkest pixel a shade off.
            const bool grey = Contrast(look.text, kPageGrey) < 1.05;
            if (Contrast(kPageGrey, look.fill) >= kGreyClearlyReads) EXPECT_TRUE(grey) << what;
            (grey ? greyKept : greyReplaced).insert(id);
          }
          it = pending.erase(it);
        }
        if (pending.empty() || bar == nullptr || bar->value() >= bar->maximum()) break;
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
      }
      EXPECT_TRUE(pending.empty()) << pending.size() << " labels never wholly shown";
      if (bar != nullptr) bar->triggerAction(QAbstractSlider::SliderToMinimum);
    }
  }
  // Both sides were met: the dark look replaces the grey, the default keeps it.
  EXPECT_EQ(greyReplaced.count(kLookOffice2007Black), 1u);
  EXPECT_EQ(greyKept.count(kLookWindows7), 1u);
}

}  // namespace
}  // namespace NsOvrin::Testing
