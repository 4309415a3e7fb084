#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QWidget>

#include "wui/FontManager.h"
#include "wui/FrameStyle.h"
#include "wui/ImagePainter.h"
#include "wui/SeparatorLine.h"
#include "wui/TextLayout.h"
#include "wui/PaintProbe.h"

namespace NsOvrin::NsWui {
namespace {

using Testing::CountPixels;
using Testing::InkBox;
using Testing::MakeCanvas;
using Testing::Near;
using Testing::PixelRef;

constexpr uint32_t kWhite = 0xFFFFFF;
// The rectangle most drawings below go into.
constexpr WRect kRect{10, 10, 50, 40};

QImage Render(const FrameStyle& style, const WRect& rect = kRect) {
  QImage image = MakeCanvas(60, 50);
  QPainter painter(&image);
  style.Draw(painter, rect);
  return image;
}

TEST(FontManager, KeepsOneFontPerSizeAndFace) {
  FontManager& fonts = FontManager::Instance();
  const QFont* songti = fonts.GetFont(90, "宋体");
  EXPECT_EQ(fonts.GetFont(90, ""), songti);
  EXPECT_EQ(fonts.GetDefaultFaceFont(90), songti);
  EXPECT_EQ(fonts.GetFont(90, "宋体"), songti);
  EXPECT_NE(fonts.GetFont(100, "宋体"), songti);
  EXPECT_NE(fonts.GetFont(90, "Courier New"), songti);
  EXPECT_EQ(songti->families().front(), QStringLiteral("宋体"));
  EXPECT_EQ(songti->pixelSize(), 12);
  EXPECT_EQ(&FontManager::Instance(), &fonts);
}

TEST(FontManager, PointSizesBecomePixelsOfA96DpiSurface) {
  const std::pair<int, int> cases[] = {{90, 12}, {120, 16}, {85, 11}, {95, 13}, {75, 10}, {0, 0}};
  for (const auto& [size, pixels] : cases) EXPECT_EQ(PointSizeToPixels(size), pixels) << size;
}

TEST(FrameStyle, ShadesAreEightyStepsClampedPerChannel) {
  EXPECT_EQ(FrameStyle::Lighter(0x808080), 0xD0D0D0u);
  EXPECT_EQ(FrameStyle::Lighter(0x10C0F0), 0x60FFFFu);
  EXPECT_EQ(FrameStyle::Darker(0x202020), 0x000000u);
  EXPECT_EQ(FrameStyle::Darker(0x6010A0), 0x100050u);
}

TEST(FrameStyle, LineKindsColourEachFlaggedSide) {
  struct Case {
    int kind;
    uint16_t sides;
    uint32_t left, top, right, bottom;  // kWhite: side not drawn
  };
  // Own colours: left red, top green, right blue, bottom yellow.
  const Case cases[] = {
      {FrameStyle::kKindLines, 15, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF},
      {FrameStyle::kKindLines, FrameStyle::kSideLeft | FrameStyle::kSideRight, 0x0000FF, kWhite, 0xFF0000, kWhite},
      {FrameStyle::kKindLines, FrameStyle::kSideBottom, kWhite, kWhite, kWhite, 0x00FFFF},
      // Raised: lighter background on the left and top, darker gradient end
      // on the right and bottom; sunken the other way round.
      {FrameStyle::kKindLinesRaised, 15, 0xD0D0D0, 0xD0D0D0, 0x000000, 0x000000},
      {FrameStyle::kKindLinesSunken, 15, 0x303030, 0x303030, 0x707070, 0x707070},
  };
  for (const Case& c : cases) {
    FrameStyle style;
    style.kind = c.kind;
    style.sides = c.sides;
    style.leftColour = 0x0000FF;
    style.topColour = 0x00FF00;
    style.rightColour = 0xFF0000;
    style.bottomColour = 0x00FFFF;
    style.backgroundColour = 0x808080;
    style.gradientEndColour = 0x202020;
    const QImage image = Render(style);
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " sides " << c.sides);
    EXPECT_EQ(PixelRef(image, 10, 25), c.left);
    EXPECT_EQ(PixelRef(image, 30, 10), c.top);
    EXPECT_EQ(PixelRef(image, 49, 25), c.right);
    EXPECT_EQ(PixelRef(image, 30, 39), c.bottom);
    // Nothing inside or outside: the background is off.
    EXPECT_EQ(PixelRef(image, 30, 25), kWhite);
    EXPECT_EQ(PixelRef(image, 9, 25), kWhite);
    EXPECT_EQ(PixelRef(image, 50, 25), kWhite);
    EXPECT_EQ(PixelRef(image, 30, 40), kWhite);
  }
}

TEST(FrameStyle, AllFourLinesCloseTheCorners) {
  FrameStyle style;
  style.kind = FrameStyle::kKindLines;
  style.sides = 15;
  style.leftColour = style.topColour = style.rightColour = style.bottomColour = 0x000000;
  const QImage image = Render(style);
  for (const auto& [x, y] : {std::pair{10, 10}, {49, 10}, {49, 39}, {10, 39}}) {
    EXPECT_EQ(PixelRef(image, x, y), 0x000000u) << x << "," << y;
  }
  EXPECT_EQ(InkBox(image, {0, 0, 60, 50}, kWhite), kRect);
}

TEST(FrameStyle, LineKindsFillTheWholeRectangle) {
  for (int kind : {FrameStyle::kKindLines, FrameStyle::kKindLinesRaised, FrameStyle::kKindLinesSunken}) {
    FrameStyle style;
    style.kind = kind;
    style.background = true;
    style.backgroundColour = 0xD7E4E4;
    const QImage image = Render(style);
    EXPECT_EQ(InkBox(image, {0, 0, 60, 50}, kWhite), kRect) << kind;
    EXPECT_EQ(CountPixels(image, kRect, 0xD7E4E4), kRect.Width() * kRect.Height()) << kind;
  }
}

TEST(FrameStyle, WithoutTheBackgroundFlagNothingIsFilled) {
  FrameStyle style;
  style.backgroundColour = 0x123456;
  for (int kind = 0; kind <= 7; ++kind) {
    style.kind = kind;
    EXPECT_EQ(CountPixels(Render(style), {0, 0, 60, 50}, 0x123456), 0) << kind;
  }
}

TEST(FrameStyle, RoundedFillRoundsOnlyCornersBetweenFlaggedSides) {
  FrameStyle style;
  style.kind = FrameStyle::kKindRounded;
  style.background = true;
  style.backgroundColour = 0xD7E4E4;
  style.leftColour = style.topColour = 0xD7E4E4;  // the outline blends in

  style.sides = FrameStyle::kSideLeft | FrameStyle::kSideTop;
  QImage image = Render(style);
  // The fill reaches one pixel left of the rectangle.
  EXPECT_EQ(PixelRef(image, 9, 25), 0xD7E4E4u);
  EXPECT_EQ(PixelRef(image, 30, 25), 0xD7E4E4u);
  EXPECT_EQ(PixelRef(image, 9, 10), kWhite);  // rounded top-left corner
  EXPECT_EQ(PixelRef(image, 10, 10), kWhite);
  EXPECT_EQ(PixelRef(image, 49, 10), 0xD7E4E4u);  // square top-right corner
  EXPECT_EQ(PixelRef(image, 49, 39), 0xD7E4E4u);
  EXPECT_EQ(PixelRef(image, 9, 39), 0xD7E4E4u);
  EXPECT_EQ(PixelRef(image, 50, 25), kWhite);

  style.sides = 15;
  image = Render(style);
  for (const auto& [x, y] : {std::pair{9, 10}, {49, 10}, {49, 39}, {9, 39}}) {
    EXPECT_EQ(PixelRef(image, x, y), kWhite) << x << "," << y;
  }
  EXPECT_EQ(PixelRef(image, 30, 25), 0xD7E4E4u);
}

TEST(FrameStyle, GradientRunsFromBackgroundAtTheTopToGradientEndAtTheBottom) {
  for (int kind : {FrameStyle::kKindRounded, FrameStyle::kKindRoundedRaised, FrameStyle::kKindRoundedSunken}) {
    FrameStyle style;
    style.kind = kind;
    style.background = true;
    style.gradient = true;
    style.backgroundColour = 0x000000;
    style.gradientEndColour = 0xFFFFFF;
    const QImage image = Render(style);
    EXPECT_TRUE(Near(PixelRef(image, 30, 10), 0x000000, 16)) << kind;
    EXPECT_TRUE(Near(PixelRef(image, 30, 25), 0x808080, 24)) << kind;
    EXPECT_TRUE(Near(PixelRef(image, 30, 39), 0xFFFFFF, 16)) << kind;
  }
}

TEST(FrameStyle, RoundedOutlineJoinsLeftAndTopWithAnArc) {
  FrameStyle style;  // kind 1, own side colours
  style.sides = FrameStyle::kSideLeft | FrameStyle::kSideTop;
  style.leftColour = 0x0000FF;
  style.topColour = 0xFF0000;
  style.rightColour = style.bottomColour = 0x00FF00;
  const QImage image = Render(style);
  // Straight parts, shortened where the corner takes over.
  for (int y = 17; y <= 37; y += 5) EXPECT_TRUE(Near(PixelRef(image, 10, y), 0x0000FF, 8)) << y;
  for (int x = 17; x <= 47; x += 5) EXPECT_TRUE(Near(PixelRef(image, x, 10), 0xFF0000, 8)) << x;
  EXPECT_EQ(PixelRef(image, 10, 12), kWhite);
  EXPECT_EQ(PixelRef(image, 12, 10), kWhite);
  // The arc cuts the corner: the corner pixel stays, the diagonal is inked
  // in the left side's colour.
  EXPECT_EQ(PixelRef(image, 10, 10), kWhite);
  const uint32_t diagonal = PixelRef(image, 11, 11) != kWhite ? PixelRef(image, 11, 11) : PixelRef(image, 12, 12);
  EXPECT_NE(diagonal, kWhite);
  EXPECT_GT(Testing::Blue(diagonal) + 40, Testing::Red(diagonal));
  // The other sides stay undrawn.
  EXPECT_EQ(CountPixels(image, {0, 0, 60, 50}, 0x00FF00), 0);
  EXPECT_EQ(InkBox(image, {45, 12, 60, 50}, kWhite), WRect{});
  EXPECT_EQ(InkBox(image, {12, 35, 60, 50}, kWhite), WRect{});
}

TEST(FrameStyle, RaisedAndSunkenOutlinesShadeTheSides) {
  struct Case {
    int kind;
    uint32_t leftTop, rightBottom;
  };
  for (const Case& c : {Case{FrameStyle::kKindRoundedRaised, 0xD0D0D0, 0x000000},
                        Case{FrameStyle::kKindRoundedSunken, 0x303030, 0x707070}}) {
    FrameStyle style;
    style.kind = c.kind;
    style.sides = 15;
    style.backgroundColour = 0x808080;
    style.gradientEndColour = 0x202020;
    const QImage image = Render(style);
    EXPECT_TRUE(Near(PixelRef(image, 10, 25), c.leftTop, 8)) << c.kind;
    EXPECT_TRUE(Near(PixelRef(image, 30, 10), c.leftTop, 8)) << c.kind;
    EXPECT_TRUE(Near(PixelRef(image, 49, 25), c.rightBottom, 8)) << c.kind;
    EXPECT_TRUE(Near(PixelRef(image, 30, 39), c.rightBottom, 8)) << c.kind;
  }
}

TEST(FrameStyle, EllipseFillsACircleInTheColourAsStored) {
  FrameStyle style;
  style.kind = FrameStyle::kKindEllipse;
  style.background = true;
  style.backgroundColour = 0x0000FF;  // red
  QImage image = Render(style);
  // Diameter min(40, 30) - 1 = 29 from (10, 10).
  EXPECT_EQ(PixelRef(image, 24, 24), 0x0000FFu);
  EXPECT_EQ(PixelRef(image, 10, 10), kWhite);
  EXPECT_EQ(PixelRef(image, 45, 24), kWhite);
  EXPECT_EQ(PixelRef(image, 24, 40), kWhite);
  // No side flagged: no outline.
  EXPECT_EQ(CountPixels(image, {0, 0, 60, 50}, 0x000000), 0);

  style.alpha = 0x80;
  image = Render(style);
  EXPECT_TRUE(Near(PixelRef(image, 24, 24), 0x7F7FFF, 3));

  style.alpha = 255;
  style.background = false;
  style.sides = FrameStyle::kSideLeft;
  style.leftColour = 0xFF0000;  // blue outline
  image = Render(style);
  const uint32_t top = PixelRef(image, 24, 10);
  EXPECT_GT(Testing::Blue(top), 200);
  EXPECT_LT(Testing::Red(top), 60);
  EXPECT_EQ(PixelRef(image, 24, 24), kWhite);
}

TEST(FrameStyle, UnknownKindsDrawNothing) {
  FrameStyle style;
  style.kind = 7;
  style.sides = 15;
  style.background = true;
  style.backgroundColour = 0x000000;
  EXPECT_EQ(InkBox(Render(style), {0, 0, 60, 50}, kWhite), WRect{});
}

QImage SolidImage(int w, int h, QColor colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

TEST(ImagePainter, DrawsAtOwnSizeOrStretched) {
  struct Case {
    int mode;
    WRect expected;
  };
  for (const Case& c : {Case{ImagePainter::kModeOwnSize, {5, 5, 9, 8}}, Case{ImagePainter::kModeStretch, {5, 5, 20, 20}},
                        Case{2, {}}}) {
    ImagePainter painter;
    painter.image = SolidImage(4, 3, Qt::green);
    painter.rect = {5, 5, 20, 20};
    painter.mode = c.mode;
    QImage image = MakeCanvas(30, 30);
    QPainter p(&image);
    painter.Draw(&p);
    p.end();
    EXPECT_EQ(InkBox(image, {0, 0, 30, 30}, kWhite), c.expected) << c.mode;
    if (!c.expected.IsEmpty()) {
      EXPECT_EQ(PixelRef(image, 6, 6), 0x00FF00u);
    }
  }
}

TEST(ImagePainter, WithoutPictureOrPainterNothingHappens) {
  ImagePainter painter;
  painter.rect = {0, 0, 30, 30};
  QImage image = MakeCanvas(30, 30);
  QPainter p(&image);
  painter.Draw(&p);
  p.end();
  EXPECT_EQ(InkBox(image, {0, 0, 30, 30}, kWhite), WRect{});
  painter.image = SolidImage(2, 2, Qt::red);
  painter.Draw(nullptr);
}

class TextLayoutTest : public ::testing::Test {
 protected:
  static constexpr WRect kBox{0, 0, 200, 30};

  void SetUp() override {
    layout_.textColour = 0x0000FF;
    layout_.fontSize = 90;
    layout_.face = "宋体";
    icon_ = SolidImage(10, 10, Qt::blue);
  }

  // The ink of the text (red-dominant pixels) and of the icon (blue).
  void Draw(int alignment, bool withIcon) {
    layout_.alignment = alignment;
    layout_.icon = withIcon ? &icon_ : nullptr;
    image_ = MakeCanvas(kBox.Width(), kBox.Height());
    QPainter p(&image_);
    layout_.Draw(p, kBox, "HHHH");
  }
  WRect TextInk() const {
    QImage mask = image_;
    for (int y = 0; y < mask.height(); ++y) {
      for (int x = 0; x < mask.width(); ++x) {
        if (PixelRef(mask, x, y) == 0xFF0000) mask.setPixel(x, y, qRgb(255, 255, 255));
      }
    }
    return InkBox(mask, kBox, kWhite);
  }
  int TextWidth() {
    return QFontMetrics(*FontManager::Instance().GetFont(90, "宋体")).horizontalAdvance(QStringLiteral("HHHH"));
  }

  TextLayout layout_;
  QImage icon_;
  QImage image_;
};

TEST_F(TextLayoutTest, PlacesTextByAlignmentWithoutIcon) {
  const int width = TextWidth();
  struct Case {
    int alignment;
    int x;
  };
  for (const Case& c : {Case{0, 4}, Case{1, (200 - width) / 2}, Case{2, 200 - width - 4}}) {
    Draw(c.alignment, false);
    const WRect ink = TextInk();
    SCOPED_TRACE(c.alignment);
    EXPECT_GE(ink.left, c.x);
    EXPECT_LE(ink.left, c.x + 2);
    EXPECT_LE(ink.right, c.x + width);
    // Centred vertically.
    EXPECT_LE(std::abs((ink.top + ink.bottom) - 30), 4);
    EXPECT_TRUE(Near(PixelRef(image_, ink.left + 1, (ink.top + ink.bottom) / 2), 0x0000FF, 100));
  }
}

TEST_F(TextLayoutTest, PlacesIconAndTextByAlignment) {
  const int width = TextWidth();
  struct Case {
    int alignment;
    int iconX;
    int textX;
  };
  const int centredIcon = (200 - 10 - width - 6) / 2;
  for (const Case& c : {Case{0, 4, 20}, Case{1, centredIcon, centredIcon + 16}, Case{2, 4, 200 - width - 6}}) {
    Draw(c.alignment, true);
    SCOPED_TRACE(c.alignment);
    EXPECT_EQ(InkBox(image_, kBox, kWhite).top, 10);  // icon at (30 - 10) / 2
    EXPECT_EQ(CountPixels(image_, kBox, 0xFF0000), 100);
    EXPECT_EQ(PixelRef(image_, c.iconX, 10), 0xFF0000u);
    EXPECT_EQ(PixelRef(image_, c.iconX + 9, 19), 0xFF0000u);
    const WRect ink = TextInk();
    EXPECT_GE(ink.left, c.textX);
    EXPECT_LE(ink.left, c.textX + 2);
  }
}

TEST_F(TextLayoutTest, AnEmptyFaceBecomesTheSystemFace) {
  layout_.face.clear();
  EXPECT_FALSE(layout_.GetFace().empty());
  EXPECT_EQ(layout_.face, layout_.GetFace());
}

class SeparatorLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    anchor_ = new QWidget(&parent_);
    anchor_->setGeometry(20, 30, 100, 2);
    anchor_->hide();
    line_.anchor = anchor_;
    line_.colour = 0xC0C0C0;
    line_.shown = true;
    line_.horizontal = true;
    line_.penStyle = PS_SOLID;
  }
  QImage Paint() const {
    QImage image = MakeCanvas(200, 100);
    QPainter p(&image);
    line_.Paint(p);
    return image;
  }

  QWidget parent_;
  QWidget* anchor_ = nullptr;
  SeparatorLine line_;
};

TEST_F(SeparatorLineTest, RunsAlongTheTopOrLeftEdgeOfItsAnchor) {
  EXPECT_EQ(InkBox(Paint(), {0, 0, 200, 100}, kWhite), (WRect{20, 30, 120, 31}));
  EXPECT_EQ(CountPixels(Paint(), {0, 0, 200, 100}, 0xC0C0C0), 100);
  line_.horizontal = false;
  EXPECT_EQ(InkBox(Paint(), {0, 0, 200, 100}, kWhite), (WRect{20, 30, 21, 32}));
}

TEST_F(SeparatorLineTest, KeepsItsPenStyle) {
  line_.penStyle = PS_DOT;
  const int inked = CountPixels(Paint(), {0, 0, 200, 100}, 0xC0C0C0);
  EXPECT_GT(inked, 10);
  EXPECT_LT(inked, 90);
  EXPECT_EQ(InkBox(Paint(), {0, 0, 200, 100}, kWhite).top, 30);
}

TEST_F(SeparatorLineTest, DrawsNothingHiddenOrWithoutAnchor) {
  line_.shown = false;
  EXPECT_EQ(InkBox(Paint(), {0, 0, 200, 100}, kWhite), WRect{});
  line_.shown = true;
  delete anchor_;
  EXPECT_EQ(InkBox(Paint(), {0, 0, 200, 100}, kWhite), WRect{});
}

}  // namespace
}  // namespace NsOvrin::NsWui
