#include "dx2d/qt/QtRenderTarget.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>

#include "QtCanvas.h"
#include "dx2d/ShapePainter.h"
#include "dx2d/TextPainter.h"
#include "dx2d/qt/QtTextFormat.h"

using namespace NsOvrin::NsDx2d;

namespace {

void ExpectColour(const QColor& actual, int r, int g, int b, int tolerance = 2) {
  EXPECT_NEAR(actual.red(), r, tolerance) << actual.name().toStdString();
  EXPECT_NEAR(actual.green(), g, tolerance) << actual.name().toStdString();
  EXPECT_NEAR(actual.blue(), b, tolerance) << actual.name().toStdString();
}

}  // namespace

TEST(QtRenderTarget, DrawsShapesAndChineseTextIntoAnImage) {
  QtCanvas canvas(200, 120);
  canvas.target.BeginDraw();
  canvas.target.Clear(ColorFromRef(0xFFFFFF, 1.0f));
  canvas.target.FillRectangle({10, 10, 60, 50}, canvas.Brush(0x0000FF));
  canvas.target.FillRectangle({10, 60, 60, 110}, canvas.Brush(0x0000FF, 0.5f));
  canvas.target.FillEllipse({{100, 90}, 15, 15}, canvas.Brush(0x00FF00));
  TextPainter text;
  text.rect = {70, 10, 195, 60};
  text.text = "中文测试";
  text.colour = 0x000000;
  text.fontSize = 200;
  text.horizontalAlignment = 1;
  text.verticalAlignment = 1;
  text.Draw(canvas.Info());
  ASSERT_TRUE(canvas.target.EndDraw());

  ExpectColour(canvas.At(35, 30), 255, 0, 0);
  ExpectColour(canvas.At(5, 5), 255, 255, 255);
  ExpectColour(canvas.At(60, 30), 255, 255, 255);  // the fill ends at x = 60
  ExpectColour(canvas.At(35, 85), 255, 128, 128, 3);
  ExpectColour(canvas.At(100, 90), 0, 255, 0);
  ExpectColour(canvas.At(87, 77), 255, 255, 255);  // outside the circle, inside its box

  EXPECT_GT(canvas.DarkPixels(70, 10, 195, 60), 100);
  EXPECT_EQ(canvas.DarkPixels(0, 0, 200, 120), canvas.DarkPixels(70, 10, 195, 60));
  // The glyphs came from a font that has them, not from boxes of a fallback.
  const QFont font = MakeQFont(*canvas.textFormats.GetFormat(200), canvas.image.logicalDpiY());
  EXPECT_EQ(QFontInfo(font).family().toStdString(), "WenQuanYi Micro Hei");
  EXPECT_TRUE(QFontMetricsF(font).inFont(QChar(0x4E2D)));
}

TEST(QtRenderTarget, StrokesAreCentredWithFlatCapsAndMiterJoins) {
  QtCanvas canvas(200, 120);
  canvas.target.BeginDraw();
  canvas.target.DrawRectangle({20, 20, 80, 80}, canvas.Brush(0x000000), 2.0f);
  canvas.target.DrawLine({100, 50}, {150, 50}, canvas.Brush(0x000000), 4.0f);
  ASSERT_TRUE(canvas.target.EndDraw());

  // The 2-wide outline covers 19..21 on each edge.
  ExpectColour(canvas.At(19, 50), 0, 0, 0);
  ExpectColour(canvas.At(20, 50), 0, 0, 0);
  ExpectColour(canvas.At(18, 50), 255, 255, 255);
  ExpectColour(canvas.At(21, 50), 255, 255, 255);
  ExpectColour(canvas.At(19, 19), 0, 0, 0);  // a square corner
  // The line ends where it ends.
  ExpectColour(canvas.At(100, 49), 0, 0, 0);
  ExpectColour(canvas.At(99, 49), 255, 255, 255);
  ExpectColour(canvas.At(150, 49), 255, 255, 255);
}

TEST(QtRenderTarget, AWordWiderThanItsBoxBreaksInsideTheBox) {
  // The box is 60 pixels wide; the word alone is well over 100.
  for (uint16_t alignment : {0, 1, 2}) {
    SCOPED_TRACE(alignment);
    QtCanvas canvas(200, 120);
    canvas.target.BeginDraw();
    TextPainter text;
    text.rect = {70, 10, 130, 110};
    text.text = "PLC1.D100~D200";
    text.colour = 0x000000;
    text.horizontalAlignment = alignment;
    text.Draw(canvas.Info());
    ASSERT_TRUE(canvas.target.EndDraw());

    const int inside = canvas.DarkPixels(70, 0, 130, 120);
    EXPECT_GT(inside, 50);
    // An antialiased edge may touch the pixel beside the box, no more.
    EXPECT_EQ(canvas.DarkPixels(0, 0, 200, 120), canvas.DarkPixels(69, 0, 131, 120));
    EXPECT_EQ(canvas.DarkPixels(0, 0, 69, 120) + canvas.DarkPixels(131, 0, 200, 120), 0);

    // More than one line: ink spans more than a line's height.
    const QFontMetricsF metrics(
        MakeQFont(*canvas.textFormats.GetFormat(text.fontSize), canvas.image.logicalDpiY()));
    int firstRow = -1, lastRow = -1;
    for (int y = 0; y < 120; ++y) {
      if (canvas.DarkPixels(0, y, 200, y + 1) == 0) continue;
      if (firstRow < 0) firstRow = y;
      lastRow = y;
    }
    ASSERT_GE(firstRow, 0);
    EXPECT_GT(lastRow - firstRow, metrics.height());
  }
}

TEST(QtRenderTarget, TextAlignsInItsBoxAndIsNotClipped) {
  QtCanvas canvas(200, 120);
  canvas.target.BeginDraw();
  TextPainter right;
  right.rect = {10, 10, 190, 50};
  right.text = "ab";
  right.colour = 0x000000;
  right.horizontalAlignment = 2;
  right.verticalAlignment = 2;
  right.Draw(canvas.Info());
  // Too tall for its box: centred on it, it runs out above and below.
  TextPainter tall;
  tall.rect = {10, 80, 190, 84};
  tall.text = "中";
  tall.colour = 0x000000;
  tall.fontSize = 200;
  tall.horizontalAlignment = 1;
  tall.verticalAlignment = 1;
  tall.Draw(canvas.Info());
  ASSERT_TRUE(canvas.target.EndDraw());

  EXPECT_GT(canvas.DarkPixels(150, 25, 190, 50), 10) << "bottom right";
  EXPECT_EQ(canvas.DarkPixels(10, 10, 150, 50), 0);
  EXPECT_GT(canvas.DarkPixels(80, 60, 120, 80), 0) << "above the box";
  EXPECT_GT(canvas.DarkPixels(80, 84, 120, 105), 0) << "below the box";
  EXPECT_EQ(canvas.DarkPixels(10, 60, 80, 110), 0) << "centred";
}

TEST(QtRenderTarget, ClipsNestAndStayWhereTheyWerePushed) {
  QtCanvas canvas(200, 120);
  canvas.target.SetTransform(Matrix3x2F::Translation(10, 10));
  canvas.target.BeginDraw();
  canvas.target.PushAxisAlignedClip({0, 0, 50, 50});  // (10,10)-(60,60) on the image
  canvas.target.SetTransform(Matrix3x2F::Identity());
  canvas.target.PushAxisAlignedClip({40, 0, 200, 200});
  canvas.target.FillRectangle({0, 0, 200, 120}, canvas.Brush(0xFF0000));
  canvas.target.PopAxisAlignedClip();
  canvas.target.FillRectangle({0, 0, 30, 120}, canvas.Brush(0x00FF00));
  canvas.target.PopAxisAlignedClip();
  canvas.target.FillRectangle({190, 110, 200, 120}, canvas.Brush(0x000000));
  ASSERT_TRUE(canvas.target.EndDraw());

  ExpectColour(canvas.At(50, 30), 0, 0, 255);      // inside both clips
  ExpectColour(canvas.At(70, 30), 255, 255, 255);  // inside the inner one only
  ExpectColour(canvas.At(35, 30), 255, 255, 255);  // inside the outer one only
  ExpectColour(canvas.At(20, 30), 0, 255, 0);
  ExpectColour(canvas.At(5, 5), 255, 255, 255);
  ExpectColour(canvas.At(20, 65), 255, 255, 255);
  ExpectColour(canvas.At(195, 115), 0, 0, 0);  // no clip left
}

TEST(QtRenderTarget, EndDrawReportsUnbalancedClips) {
  QtCanvas canvas(20, 20);
  canvas.target.BeginDraw();
  canvas.target.PushAxisAlignedClip({0, 0, 5, 5});
  EXPECT_FALSE(canvas.target.EndDraw());
  canvas.target.BeginDraw();
  canvas.target.PopAxisAlignedClip();
  EXPECT_FALSE(canvas.target.EndDraw());
  // Outside BeginDraw/EndDraw nothing is drawn.
  canvas.target.FillRectangle({0, 0, 20, 20}, canvas.Brush(0x000000));
  EXPECT_EQ(canvas.DarkPixels(0, 0, 20, 20), 0);
  EXPECT_FALSE(canvas.target.EndDraw());
}

TEST(QtRenderTarget, SwitchTrackIsAPill) {
  QtCanvas canvas(160, 80);
  ShapePainter painter;
  painter.rect = {20, 20, 140, 60};
  painter.fillColour = 0x00FF00;
  painter.borderWidth = 1.0f;
  painter.style = 4;
  canvas.target.BeginDraw();
  painter.Fill(canvas.Info());
  ASSERT_TRUE(canvas.target.EndDraw());

  ExpectColour(canvas.At(80, 40), 0, 255, 0);
  ExpectColour(canvas.At(22, 40), 0, 255, 0);   // round left end
  ExpectColour(canvas.At(137, 40), 0, 255, 0);  // round right end
  ExpectColour(canvas.At(80, 21), 0, 255, 0);   // straight top edge
  ExpectColour(canvas.At(21, 21), 255, 255, 255);
  ExpectColour(canvas.At(138, 58), 255, 255, 255);
}
