#include "shell/JpegImage.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "core/InputFile.h"

namespace tessaly {
namespace {

constexpr unsigned long kMaxPixels = 64ul * 1024 * 1024;

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void FailDecoding(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->jump, 1);
}

// Warnings (level -1), such as a truncated file, are failures too; trace
// messages are ignored.
void OnMessage(j_common_ptr info, int level) {
  if (level < 0) FailDecoding(info);
}

struct RawImage {
  unsigned width = 0;
  unsigned height = 0;
  std::vector<unsigned char> rgb;
};

// Every C++ object used here lives before setjmp, so the jump from libjpeg's
// error handler skips no destructor.
bool Decode(const std::vector<unsigned char>& data, RawImage& image, ErrorManager& errors) {
  jpeg_decompress_struct info;
  info.err = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = FailDecoding;
  errors.pub.emit_message = OnMessage;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  if (static_cast<unsigned long>(info.image_width) * info.image_height > kMaxPixels) {
    std::snprintf(errors.message, sizeof errors.message, "picture too large (%ux%u)", info.image_width,
                  info.image_height);
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_start_decompress(&info);
  image.width = info.output_width;
  image.height = info.output_height;
  image.rgb.resize(static_cast<std::size_t>(image.width) * image.height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.rgb.data() + static_cast<std::size_t>(info.output_scanline) * image.width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

std::vector<unsigned char> ReadFileBytes(const std::string& path) {
  std::string reason;
  const FileHandle in = OpenInputFile(path, &reason);
  if (!in) throw JpegError("Cannot open the picture " + path + ": " + reason);
  std::vector<unsigned char> data;
  unsigned char buffer[64 * 1024];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, in.get())) > 0;)
    data.insert(data.end(), buffer, buffer + got);
  if (std::ferror(in.get())) throw JpegError("Cannot read the picture " + path);
  return data;
}

}  // namespace

QImage LoadJpegImage(const std::string& path) {
  const std::vector<unsigned char> data = ReadFileBytes(path);
  RawImage raw;
  ErrorManager errors{};
  if (data.empty()) throw JpegError("The picture " + path + " is empty");
  if (!Decode(data, raw, errors))
    throw JpegError("The picture " + path + " is not a valid JPEG picture: " + errors.message);
  QImage image(static_cast<int>(raw.width), static_cast<int>(raw.height), QImage::Format_RGB888);
  for (unsigned y = 0; y < raw.height; ++y)
    std::copy_n(raw.rgb.data() + static_cast<std::size_t>(y) * raw.width * 3, raw.width * 3, image.scanLine(static_cast<int>(y)));
  return image;
}

}  // namespace tessaly
