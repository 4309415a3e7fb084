#include "dx2d/RecordingRenderTarget.h"

#include "platform/Format.h"

namespace NsOvrin::NsDx2d {

using NsPlatform::StrFormat;

namespace {

std::string Num(float value) { return StrFormat("%g", static_cast<double>(value)); }

std::string Point(D2D_POINT_2F p) { return "(" + Num(p.x) + "," + Num(p.y) + ")"; }

std::string Rect(const D2D_RECT_F& r) {
  return "(" + Num(r.left) + "," + Num(r.top) + "," + Num(r.right) + "," + Num(r.bottom) + ")";
}

std::string Paint(const DrawCall& call) {
  return StrFormat("0x%06X@", call.colour) + Num(call.opacity);
}

const char* AlignmentName(TextAlignment alignment) {
  switch (alignment) {
    case TextAlignment::Leading: return "leading";
    case TextAlignment::Trailing: return "trailing";
    case TextAlignment::Center: return "centre";
  }
  return "?";
}

const char* ParagraphName(ParagraphAlignment alignment) {
  switch (alignment) {
    case ParagraphAlignment::Near: return "near";
    case ParagraphAlignment::Far: return "far";
    case ParagraphAlignment::Center: return "centre";
  }
  return "?";
}

std::string Figures(const DrawCall& call) {
  std::string out = call.fillMode == FillMode::Winding ? "winding" : "alternate";
  for (const PathFigure& figure : call.figures) {
    out += figure.begin == FigureBegin::Filled ? " [filled M" : " [hollow M";
    out += Point(figure.start);
    for (const PathSegment& segment : figure.segments) {
      if (segment.kind == PathSegment::Kind::Line) {
        out += " L" + Point(segment.point);
      } else {
        const ArcSegment& arc = segment.arc;
        out += " A" + Point(arc.point) + " r=(" + Num(arc.size.width) + "," + Num(arc.size.height) + ")";
        if (arc.rotationAngle != 0.0f) out += " rot=" + Num(arc.rotationAngle);
        out += arc.sweepDirection == SweepDirection::Clockwise ? " cw" : " ccw";
        out += arc.arcSize == ArcSize::Large ? " large" : " small";
      }
    }
    out += figure.end == FigureEnd::Closed ? " closed]" : " open]";
  }
  return out;
}

}  // namespace

const char* DrawOpName(DrawOp op) {
  switch (op) {
    case DrawOp::BeginDraw: return "BeginDraw";
    case DrawOp::EndDraw: return "EndDraw";
    case DrawOp::Clear: return "Clear";
    case DrawOp::SetTransform: return "SetTransform";
    case DrawOp::FillRectangle: return "FillRectangle";
    case DrawOp::DrawRectangle: return "DrawRectangle";
    case DrawOp::FillRoundedRectangle: return "FillRoundedRectangle";
    case DrawOp::DrawRoundedRectangle: return "DrawRoundedRectangle";
    case DrawOp::FillEllipse: return "FillEllipse";
    case DrawOp::DrawEllipse: return "DrawEllipse";
    case DrawOp::DrawLine: return "DrawLine";
    case DrawOp::FillGeometry: return "FillGeometry";
    case DrawOp::DrawGeometry: return "DrawGeometry";
    case DrawOp::DrawBitmap: return "DrawBitmap";
    case DrawOp::DrawText: return "DrawText";
    case DrawOp::PushAxisAlignedClip: return "PushAxisAlignedClip";
    case DrawOp::PopAxisAlignedClip: return "PopAxisAlignedClip";
  }
  return "?";
}

std::string DrawCall::ToString() const {
  std::string out = DrawOpName(op);
  const std::string width = " w=" + Num(strokeWidth);
  const std::string radii = " r=(" + Num(radiusX) + "," + Num(radiusY) + ")";
  switch (op) {
    case DrawOp::BeginDraw:
    case DrawOp::EndDraw:
    case DrawOp::PopAxisAlignedClip:
      break;
    case DrawOp::Clear:
      out += " " + Paint(*this);
      break;
    case DrawOp::SetTransform:
      out += " [" + Num(transform.m11) + " " + Num(transform.m12) + " " + Num(transform.m21) + " " +
             Num(transform.m22) + " " + Num(transform.dx) + " " + Num(transform.dy) + "]";
      break;
    case DrawOp::FillRectangle:
      out += " " + Rect(rect) + " " + Paint(*this);
      break;
    case DrawOp::DrawRectangle:
      out += " " + Rect(rect) + " " + Paint(*this) + width;
      break;
    case DrawOp::FillRoundedRectangle:
      out += " " + Rect(rect) + radii + " " + Paint(*this);
      break;
    case DrawOp::DrawRoundedRectangle:
      out += " " + Rect(rect) + radii + " " + Paint(*this) + width;
      break;
    case DrawOp::FillEllipse:
      out += " c=" + Point(point0) + radii + " " + Paint(*this);
      break;
    case DrawOp::DrawEllipse:
      out += " c=" + Point(point0) + radii + " " + Paint(*this) + width;
      break;
    case DrawOp::DrawLine:
      out += " " + Point(point0) + "-" + Point(point1) + " " + Paint(*this) + width;
      break;
    case DrawOp::FillGeometry:
      out += " " + Figures(*this) + " " + Paint(*this);
      break;
    case DrawOp::DrawGeometry:
      out += " " + Figures(*this) + " " + Paint(*this) + width;
      break;
    case DrawOp::DrawBitmap:
      out += " " + Rect(rect) + StrFormat(" %ux%u @", bitmapSize.width, bitmapSize.height) +
             Num(opacity) +
             (interpolation == BitmapInterpolationMode::Linear ? " linear" : " nearest");
      break;
    case DrawOp::DrawText:
      out += " \"" + text + "\" " + Rect(rect) + " " + Paint(*this) + " " + fontFamily + " " +
             Num(fontSize) + " " + AlignmentName(textAlignment) + "/" +
             ParagraphName(paragraphAlignment) +
             (wordWrapping == WordWrapping::Wrap ? "" : " nowrap");
      break;
    case DrawOp::PushAxisAlignedClip:
      out += " " + Rect(rect);
      break;
  }
  return out;
}

std::ostream& operator<<(std::ostream& out, const DrawCall& call) { return out << call.ToString(); }

std::ostream& operator<<(std::ostream& out, const D2D_POINT_2F& point) { return out << Point(point); }

std::ostream& operator<<(std::ostream& out, const D2D_SIZE_F& size) {
  return out << Num(size.width) << "x" << Num(size.height);
}

std::ostream& operator<<(std::ostream& out, const D2D_RECT_F& rect) { return out << Rect(rect); }

std::string FormatDrawCalls(const std::vector<DrawCall>& calls) {
  std::string out;
  for (const DrawCall& call : calls) out += call.ToString() + "\n";
  return out;
}

std::vector<std::string> DescribeDrawCalls(const std::vector<DrawCall>& calls) {
  std::vector<std::string> out;
  out.reserve(calls.size());
  for (const DrawCall& call : calls) out.push_back(call.ToString());
  return out;
}

std::vector<DrawCall> RecordingRenderTarget::CallsOf(DrawOp op) const {
  std::vector<DrawCall> out;
  for (const DrawCall& call : calls) {
    if (call.op == op) out.push_back(call);
  }
  return out;
}

DrawCall& RecordingRenderTarget::Add(DrawOp op) {
  DrawCall& call = calls.emplace_back();
  call.op = op;
  call.transform = transform_;
  return call;
}

DrawCall& RecordingRenderTarget::AddWithBrush(DrawOp op, const SolidColorBrush& brush) {
  DrawCall& call = Add(op);
  call.colour = ColorToRef(brush.GetColor());
  call.opacity = brush.GetColor().a;
  return call;
}

DrawCall& RecordingRenderTarget::AddGeometry(DrawOp op, const PathGeometry& geometry,
                                             const SolidColorBrush& brush) {
  DrawCall& call = AddWithBrush(op, brush);
  call.geometry = &geometry;
  call.fillMode = geometry.GetFillMode();
  call.figures = geometry.Figures();
  return call;
}

void RecordingRenderTarget::BeginDraw() {
  clipDepth_ = 0;
  clipsUnbalanced_ = false;
  Add(DrawOp::BeginDraw);
}

bool RecordingRenderTarget::EndDraw() {
  Add(DrawOp::EndDraw);
  const bool ok = clipDepth_ == 0 && !clipsUnbalanced_;
  clipDepth_ = 0;
  clipsUnbalanced_ = false;
  return ok;
}

std::unique_ptr<SolidColorBrush> RecordingRenderTarget::CreateSolidColorBrush(
    const D2D_COLOR_F& colour) {
  if (failBrushes) return nullptr;
  ++brushesCreated;
  return std::make_unique<SolidColorBrush>(colour);
}

std::unique_ptr<Bitmap> RecordingRenderTarget::CreateBitmap(const DecodedImage& image) {
  if (failBitmaps || image.width == 0 || image.height == 0) return nullptr;
  ++bitmapsCreated;
  return std::make_unique<RecordingBitmap>(this, D2D_SIZE_U{image.width, image.height});
}

void RecordingRenderTarget::Clear(const D2D_COLOR_F& colour) {
  DrawCall& call = Add(DrawOp::Clear);
  call.colour = ColorToRef(colour);
  call.opacity = colour.a;
}

void RecordingRenderTarget::SetTransform(const Matrix3x2F& transform) {
  transform_ = transform;
  Add(DrawOp::SetTransform);
}

void RecordingRenderTarget::FillRectangle(const D2D_RECT_F& rect, const SolidColorBrush& brush) {
  AddWithBrush(DrawOp::FillRectangle, brush).rect = rect;
}

void RecordingRenderTarget::DrawRectangle(const D2D_RECT_F& rect, const SolidColorBrush& brush,
                                          float strokeWidth) {
  DrawCall& call = AddWithBrush(DrawOp::DrawRectangle, brush);
  call.rect = rect;
  call.strokeWidth = strokeWidth;
}

void RecordingRenderTarget::FillRoundedRectangle(const RoundedRect& rect,
                                                 const SolidColorBrush& brush) {
  DrawCall& call = AddWithBrush(DrawOp::FillRoundedRectangle, brush);
  call.rect = rect.rect;
  call.radiusX = rect.radiusX;
  call.radiusY = rect.radiusY;
}

void RecordingRenderTarget::DrawRoundedRectangle(const RoundedRect& rect,
                                                 const SolidColorBrush& brush, float strokeWidth) {
  DrawCall& call = AddWithBrush(DrawOp::DrawRoundedRectangle, brush);
  call.rect = rect.rect;
  call.radiusX = rect.radiusX;
  call.radiusY = rect.radiusY;
  call.strokeWidth = strokeWidth;
}

void RecordingRenderTarget::FillEllipse(const Ellipse& ellipse, const SolidColorBrush& brush) {
  DrawCall& call = AddWithBrush(DrawOp::FillEllipse, brush);
  call.point0 = ellipse.point;
  call.radiusX = ellipse.radiusX;
  call.radiusY = ellipse.radiusY;
}

void RecordingRenderTarget::DrawEllipse(const Ellipse& ellipse, const SolidColorBrush& brush,
                                        float strokeWidth) {
  DrawCall& call = AddWithBrush(DrawOp::DrawEllipse, brush);
  call.point0 = ellipse.point;
  call.radiusX = ellipse.radiusX;
  call.radiusY = ellipse.radiusY;
  call.strokeWidth = strokeWidth;
}

void RecordingRenderTarget::DrawLine(D2D_POINT_2F from, D2D_POINT_2F to,
                                     const SolidColorBrush& brush, float strokeWidth) {
  DrawCall& call = AddWithBrush(DrawOp::DrawLine, brush);
  call.point0 = from;
  call.point1 = to;
  call.strokeWidth = strokeWidth;
}

void RecordingRenderTarget::FillGeometry(const PathGeometry& geometry,
                                         const SolidColorBrush& brush) {
  if (!geometry.IsClosed()) return;
  AddGeometry(DrawOp::FillGeometry, geometry, brush);
}

void RecordingRenderTarget::DrawGeometry(const PathGeometry& geometry,
                                         const SolidColorBrush& brush, float strokeWidth) {
  if (!geometry.IsClosed()) return;
  AddGeometry(DrawOp::DrawGeometry, geometry, brush).strokeWidth = strokeWidth;
}

void RecordingRenderTarget::DrawBitmap(const Bitmap& bitmap, const D2D_RECT_F& dest, float opacity,
                                       BitmapInterpolationMode interpolation) {
  const auto* own = dynamic_cast<const RecordingBitmap*>(&bitmap);
  if (own == nullptr || own->Owner() != this) return;
  DrawCall& call = Add(DrawOp::DrawBitmap);
  call.rect = dest;
  call.opacity = opacity;
  call.bitmap = &bitmap;
  call.bitmapSize = bitmap.GetPixelSize();
  call.interpolation = interpolation;
}

void RecordingRenderTarget::DrawText(const std::string& text, const TextFormat& format,
                                     const D2D_RECT_F& layoutRect, const SolidColorBrush& brush) {
  DrawCall& call = AddWithBrush(DrawOp::DrawText, brush);
  call.text = text;
  call.rect = layoutRect;
  call.fontFamily = format.GetFontFamilyName();
  call.fontSize = format.GetFontSize();
  call.textAlignment = format.GetTextAlignment();
  call.paragraphAlignment = format.GetParagraphAlignment();
  call.wordWrapping = format.GetWordWrapping();
}

void RecordingRenderTarget::PushAxisAlignedClip(const D2D_RECT_F& rect) {
  ++clipDepth_;
  Add(DrawOp::PushAxisAlignedClip).rect = rect;
}

void RecordingRenderTarget::PopAxisAlignedClip() {
  if (clipDepth_ == 0) {
    clipsUnbalanced_ = true;
  } else {
    --clipDepth_;
  }
  Add(DrawOp::PopAxisAlignedClip);
}

}  // namespace NsOvrin::NsDx2d
