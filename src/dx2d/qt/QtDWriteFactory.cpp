#include "dx2d/qt/QtDWriteFactory.h"

#include <QImage>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>

#include "dx2d/qt/QtTextFormat.h"

namespace NsOvrin::NsDx2d {

namespace {

// A device of exactly 96 logical DPI to measure on.
QPaintDevice* MeasuringDevice() {
  static QImage device = [] {
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    return image;
  }();
  return &device;
}

struct LinesMeasure {
  float width = 0.0f;
  float height = 0.0f;
  uint32_t lines = 0;
};

// Width of a line up to its last character that is not white space.
float TrimmedWidth(const QString& text, const QTextLine& line) {
  int end = line.textStart() + line.textLength();
  while (end > line.textStart() && text.at(end - 1).isSpace()) --end;
  return static_cast<float>(line.cursorToX(end) - line.cursorToX(line.textStart()));
}

LinesMeasure Measure(const QString& text, const QFont& font, float maxWidth,
                     QTextOption::WrapMode wrap, bool includeTrailingSpaces) {
  QTextOption option;
  option.setWrapMode(wrap);
  if (includeTrailingSpaces) option.setFlags(QTextOption::IncludeTrailingSpaces);
  QTextLayout layout(text, font, MeasuringDevice());
  layout.setTextOption(option);
  LinesMeasure measure;
  layout.beginLayout();
  for (;;) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(std::max(0.0f, maxWidth));
    line.setPosition(QPointF(0.0, measure.height));
    measure.height += static_cast<float>(line.height());
    const float width = includeTrailingSpaces ? static_cast<float>(line.naturalTextWidth())
                                              : TrimmedWidth(text, line);
    measure.width = std::max(measure.width, width);
    ++measure.lines;
  }
  layout.endLayout();
  return measure;
}

}  // namespace

std::unique_ptr<TextFormat> QtDWriteFactory::CreateTextFormat(const std::string& family,
                                                              FontWeight weight, FontStyle style,
                                                              FontStretch stretch, float fontSize,
                                                              const std::string& locale) {
  if (!(fontSize > 0.0f)) return nullptr;
  return std::make_unique<QtTextFormat>(family, weight, style, stretch, fontSize, locale);
}

std::unique_ptr<TextLayout> QtDWriteFactory::CreateTextLayout(const std::string& text,
                                                              const TextFormat& format,
                                                              float maxWidth, float maxHeight) {
  QString qtext = QString::fromStdString(text);
  qtext.replace(QLatin1Char('\n'), QChar::LineSeparator);
  const QFont font = FontOf(format, MeasuringDevice()->logicalDpiY());
  const QTextOption::WrapMode wrap = WrapModeOf(format);
  const LinesMeasure trimmed = Measure(qtext, font, maxWidth, wrap, false);
  const LinesMeasure whole = Measure(qtext, font, maxWidth, wrap, true);
  TextMetrics metrics;
  metrics.width = trimmed.width;
  metrics.widthIncludingTrailingWhitespace = std::max(whole.width, trimmed.width);
  metrics.height = trimmed.height;
  metrics.layoutWidth = maxWidth;
  metrics.layoutHeight = maxHeight;
  metrics.lineCount = trimmed.lines;
  return std::make_unique<TextLayout>(metrics);
}

}  // namespace NsOvrin::NsDx2d
