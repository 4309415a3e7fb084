#include "dx2d/qt/QtImagingFactory.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstring>

#include "platform/CheckedFile.h"

namespace NsOvrin::NsDx2d {

std::optional<DecodedImage> QtImagingFactory::FromQImage(const QImage& image) {
  if (image.isNull()) return std::nullopt;
  const QImage converted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (converted.isNull()) return std::nullopt;
  DecodedImage decoded;
  decoded.width = static_cast<uint32_t>(converted.width());
  decoded.height = static_cast<uint32_t>(converted.height());
  decoded.pixels.resize(static_cast<std::size_t>(decoded.width) * decoded.height);
  for (uint32_t y = 0; y < decoded.height; ++y) {
    std::memcpy(&decoded.pixels[static_cast<std::size_t>(y) * decoded.width],
                converted.constScanLine(static_cast<int>(y)), decoded.width * sizeof(uint32_t));
  }
  return decoded;
}

std::optional<DecodedImage> QtImagingFactory::DecodeFile(const std::string& path) {
  // Read through the checked open: a picture path naming a FIFO or a folder
  // must not hang or confuse the decoder.
  std::string bytes;
  if (!NsPlatform::ReadRegularFile(path, bytes)) return std::nullopt;
  QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
  bytes.clear();
  QBuffer buffer(&data);
  if (!buffer.open(QIODevice::ReadOnly)) return std::nullopt;
  // The content decides; the suffix helps only formats that cannot be told
  // from their content.
  QImageReader reader(&buffer);
  // Frame 0 as stored: no orientation from the picture's metadata.
  reader.setAutoTransform(false);
  QImage image = reader.read();
  const std::size_t dot = path.find_last_of("./\\");
  if (image.isNull() && dot != std::string::npos && path[dot] == '.' && buffer.seek(0)) {
    QImageReader hinted(&buffer, QByteArray::fromStdString(path.substr(dot + 1)).toLower());
    hinted.setAutoTransform(false);
    image = hinted.read();
  }
  return FromQImage(image);
}

std::optional<DecodedImage> QtImagingFactory::DecodeResource(uint32_t id, const std::string& type) {
  const QString qtype = QString::fromStdString(type);
  if (id == 0 || qtype.isEmpty() || qtype.contains(QLatin1Char('/'))) return std::nullopt;
  QFile file(QStringLiteral(":/res/%1/%2").arg(qtype).arg(id));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray data = file.readAll();
  if (data.isEmpty()) return std::nullopt;
  return FromQImage(QImage::fromData(data));
}

}  // namespace NsOvrin::NsDx2d
