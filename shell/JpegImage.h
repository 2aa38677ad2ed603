// Decoding a JPEG picture file with libjpeg into a QImage.
#pragma once

#include <QImage>

#include <stdexcept>
#include <string>

namespace tessaly {

class JpegError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The picture in the file. Throws JpegError naming the file when it is
// missing, unreadable, not a JPEG picture, corrupt or truncated (libjpeg's
// warnings count as errors) or unreasonably large.
QImage LoadJpegImage(const std::string& path);

}  // namespace tessaly
