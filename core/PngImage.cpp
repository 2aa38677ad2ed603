#include "core/PngImage.h"

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace tessaly {

namespace {

void AppendBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift & 0xFF));
}

// A chunk: length, type, data, CRC of type and data.
void AppendChunk(std::string& out, std::string_view type, std::string_view data) {
  AppendBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.append(type);
  out.append(data);
  const auto* crcStart = reinterpret_cast<const Bytef*>(out.data() + typeAt);
  AppendBigEndian(out, static_cast<std::uint32_t>(crc32(0, crcStart, static_cast<uInt>(out.size() - typeAt))));
}

// Every row with filter byte 0 (none) before its RGB bytes.
std::string Scanlines(const PixelBuffer& image) {
  std::string rows;
  rows.reserve(static_cast<std::size_t>(image.height) * (1 + 3 * static_cast<std::size_t>(image.width)));
  for (int y = 0; y < image.height; ++y) {
    rows.push_back('\0');
    const std::uint32_t* row = image.pixels + y * image.stride;
    for (int x = 0; x < image.width; ++x)
      for (const int shift : {16, 8, 0}) rows.push_back(static_cast<char>(row[x] >> shift & 0xFF));
  }
  return rows;
}

std::string Compressed(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                static_cast<uLong>(data.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
    throw std::runtime_error("The image could not be compressed.");
  out.resize(size);
  return out;
}

}  // namespace

std::string EncodePng(const PixelBuffer& image) {
  std::string png("\x89PNG\r\n\x1a\n", 8);
  std::string header;
  AppendBigEndian(header, static_cast<std::uint32_t>(image.width));
  AppendBigEndian(header, static_cast<std::uint32_t>(image.height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, filter 0, no interlace
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", Compressed(Scanlines(image)));
  AppendChunk(png, "IEND", {});
  return png;
}

}  // namespace tessaly
