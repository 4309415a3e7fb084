#include "dx2d/RecordingImagingFactory.h"

namespace NsOvrin::NsDx2d {

DecodedImage RecordingImagingFactory::MakeImage(uint32_t width, uint32_t height, uint32_t argb) {
  DecodedImage image;
  image.width = width;
  image.height = height;
  image.pixels.assign(static_cast<std::size_t>(width) * height, argb);
  return image;
}

std::optional<DecodedImage> RecordingImagingFactory::DecodeFile(const std::string& path) {
  fileRequests.push_back(path);
  auto it = files_.find(path);
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

std::optional<DecodedImage> RecordingImagingFactory::DecodeResource(uint32_t id,
                                                                     const std::string& type) {
  resourceRequests.emplace_back(id, type);
  auto it = resources_.find({id, type});
  if (it == resources_.end()) return std::nullopt;
  return it->second;
}

}  // namespace NsOvrin::NsDx2d
