#include "photo/image/picture_loader.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "photo/image/bmp_codec.h"
#include "photo/image/jpeg_codec.h"
#include "photo/image/picture_format.h"

namespace qm::photo {

std::optional<std::string> readFileBytes(const std::string& path) {
  std::string data;
  if (!readFileInto(path, data)) return std::nullopt;
  return data;
}

bool readFileInto(const std::string& path, std::string& data) {
  // O_NONBLOCK: opening a FIFO would otherwise wait for a writer forever;
  // a regular file reads the same either way.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) > kMaxPictureFileBytes) {
    ::close(fd);
    return false;
  }
  data.resize(static_cast<std::size_t>(st.st_size));
  std::size_t got = 0;
  while (got < data.size()) {
    ssize_t n = ::read(fd, data.data() + got, data.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return false;
    }
    if (n == 0) break;  // the file shrank meanwhile
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  data.resize(got);
  return true;
}

std::optional<RgbImage> decodePicture(std::string_view bytes, const DecodeLimits& limits, std::string* error) {
  switch (sniffPictureFormat(bytes)) {
    case PictureFormat::Jpeg: return decodeJpeg(bytes, {}, limits, error);
    case PictureFormat::Bmp: return decodeBmp(bytes, limits, error);
    case PictureFormat::Unknown: break;
  }
  if (error) *error = "not a JPEG or BMP picture";
  return std::nullopt;
}

}  // namespace qm::photo
