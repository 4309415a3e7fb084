#pragma once
// An imaging factory for tests: it answers from pictures registered by path
// and by resource, and logs every request.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dx2d/ImagingFactory.h"

namespace NsOvrin::NsDx2d {

class RecordingImagingFactory : public ImagingFactory {
 public:
  // A picture of that size, every pixel the same premultiplied 0xAARRGGBB.
  static DecodedImage MakeImage(uint32_t width, uint32_t height, uint32_t argb = 0xFF808080);

  void AddFile(const std::string& path, DecodedImage image) { files_[path] = std::move(image); }
  void AddResource(uint32_t id, const std::string& type, DecodedImage image) {
    resources_[{id, type}] = std::move(image);
  }

  std::optional<DecodedImage> DecodeFile(const std::string& path) override;
  std::optional<DecodedImage> DecodeResource(uint32_t id, const std::string& type) override;

  std::vector<std::string> fileRequests;
  std::vector<std::pair<uint32_t, std::string>> resourceRequests;

 private:
  std::map<std::string, DecodedImage> files_;
  std::map<std::pair<uint32_t, std::string>, DecodedImage> resources_;
};

}  // namespace NsOvrin::NsDx2d
