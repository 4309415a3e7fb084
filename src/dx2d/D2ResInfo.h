#pragma once
// The drawing context handed to every draw routine. It owns nothing; a draw
// routine tests the members it needs and draws nothing when one is null.
namespace NsOvrin::NsDx2d {

class D2Factory;
class DWriteFactory;
class RenderTarget;
class TextFormatCache;
class BrushCache;
class BitmapCache;

struct D2ResInfo {
  D2Factory* d2Factory = nullptr;
  DWriteFactory* dwriteFactory = nullptr;
  RenderTarget* renderTarget = nullptr;
  TextFormatCache* textFormatCache = nullptr;
  BrushCache* brushCache = nullptr;
  BitmapCache* bitmapCache = nullptr;
};

}  // namespace NsOvrin::NsDx2d
