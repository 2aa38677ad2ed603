// A PNG reader for the tests: checks the signature and every chunk's CRC,
// inflates the image data with zlib and undoes the five row filters, for
// 8-bit RGB and RGBA images without interlace. Returns pixels as 0xFFRRGGBB
// (alpha dropped); empty with the reason in `error` when the file is not such
// a PNG.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace tessaly::testing {

struct DecodedPng {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::string error;

  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

namespace png_detail {

inline std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

inline int Paeth(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Undoes the filter of each row in place; false on an unknown filter.
inline bool Unfilter(std::string& data, std::size_t rowBytes, std::size_t rows, std::size_t pixelBytes) {
  for (std::size_t y = 0; y < rows; ++y) {
    unsigned char* row = reinterpret_cast<unsigned char*>(&data[y * (rowBytes + 1)]);
    const unsigned char* above = y ? row - (rowBytes + 1) : nullptr;
    const int filter = row[0];
    for (std::size_t i = 1; i <= rowBytes; ++i) {
      const int left = i > pixelBytes ? row[i - pixelBytes] : 0;
      const int up = above ? above[i] : 0;
      const int upLeft = above && i > pixelBytes ? above[i - pixelBytes] : 0;
      int add = 0;
      switch (filter) {
        case 0: break;
        case 1: add = left; break;
        case 2: add = up; break;
        case 3: add = (left + up) / 2; break;
        case 4: add = Paeth(left, up, upLeft); break;
        default: return false;
      }
      row[i] = static_cast<unsigned char>(row[i] + add);
    }
  }
  return true;
}

}  // namespace png_detail

inline DecodedPng DecodePng(const std::string& file) {
  using png_detail::BigEndian;
  DecodedPng png;
  if (file.compare(0, 8, std::string("\x89PNG\r\n\x1a\n", 8)) != 0) return png.error = "no PNG signature", png;
  std::string data;
  int colourType = -1;
  bool ended = false;
  for (std::size_t at = 8; at + 12 <= file.size() && !ended;) {
    const std::uint32_t length = BigEndian(file, at);
    if (at + 12 + length > file.size()) return png.error = "chunk past the end", png;
    const std::string type = file.substr(at + 4, 4);
    const auto* crcStart = reinterpret_cast<const Bytef*>(file.data() + at + 4);
    if (crc32(0, crcStart, length + 4) != BigEndian(file, at + 8 + length)) return png.error = "bad CRC of " + type, png;
    if (type == "IHDR") {
      png.width = static_cast<int>(BigEndian(file, at + 8));
      png.height = static_cast<int>(BigEndian(file, at + 12));
      colourType = static_cast<unsigned char>(file[at + 17]);
      if (file[at + 16] != 8 || (colourType != 2 && colourType != 6) || file[at + 20] != 0)
        return png.error = "not 8-bit RGB(A) without interlace", png;
    } else if (type == "IDAT") {
      data += file.substr(at + 8, length);
    }
    ended = type == "IEND";
    at += 12 + length;
  }
  if (!ended || colourType < 0) return png.error = "no IHDR or IEND", png;
  const std::size_t pixelBytes = colourType == 6 ? 4 : 3;
  const std::size_t rowBytes = pixelBytes * static_cast<std::size_t>(png.width);
  std::string raw((rowBytes + 1) * static_cast<std::size_t>(png.height), '\0');
  uLongf rawSize = static_cast<uLongf>(raw.size());
  if (uncompress(reinterpret_cast<Bytef*>(raw.data()), &rawSize, reinterpret_cast<const Bytef*>(data.data()),
                 static_cast<uLong>(data.size())) != Z_OK ||
      rawSize != raw.size())
    return png.error = "image data does not inflate to the image's size", png;
  if (!png_detail::Unfilter(raw, rowBytes, static_cast<std::size_t>(png.height), pixelBytes))
    return png.error = "unknown row filter", png;
  for (int y = 0; y < png.height; ++y) {
    const auto* row = reinterpret_cast<const unsigned char*>(&raw[static_cast<std::size_t>(y) * (rowBytes + 1) + 1]);
    for (int x = 0; x < png.width; ++x, row += pixelBytes)
      png.pixels.push_back(0xFF000000u | std::uint32_t{row[0]} << 16 | std::uint32_t{row[1]} << 8 | row[2]);
  }
  return png;
}

}  // namespace tessaly::testing
