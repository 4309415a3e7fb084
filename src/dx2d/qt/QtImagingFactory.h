#pragma once
// Decodes pictures through Qt's image readers. The program's resources are
// Qt resources at ":/res/<type>/<id>", e.g. ":/res/PNG/357" for the
// placeholder picture. The application installs one with
// ImagingFactory::SetInstance at start-up.
#include <cstdint>
#include <optional>
#include <string>

#include "dx2d/ImagingFactory.h"

class QImage;

namespace NsOvrin::NsDx2d {

class QtImagingFactory : public ImagingFactory {
 public:
  std::optional<DecodedImage> DecodeFile(const std::string& path) override;
  std::optional<DecodedImage> DecodeResource(uint32_t id, const std::string& type) override;

  // Premultiplied 0xAARRGGBB pixels of a picture; nullopt for a null one.
  static std::optional<DecodedImage> FromQImage(const QImage& image);
};

}  // namespace NsOvrin::NsDx2d
