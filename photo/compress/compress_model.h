#pragma once
// The picture compression tool without its widgets: the opened picture, the
// width and height boxes with the proportion rule, the quality, and the
// prediction and saves. A window shows what this holds; the command line
// drives it the same way.
#include <cstdint>
#include <optional>
#include <string>

#include "photo/compress/spin_value.h"
#include "photo/image/rgb_image.h"

namespace qm::photo {

struct CompressSaveResult {
  bool ok = false;
  std::uint64_t size = 0;  // bytes written
  std::string message;     // the message box text
};

class CompressModel {
 public:
  // Opens a JPEG or BMP picture (told by content). On success the boxes get
  // the picture's size as value and maximum. On failure the tool is reset:
  // no picture, ratio 0, quality 100, both boxes 1; returns false and the
  // window shows kCompressUnreadable.
  bool open(const std::string& path);

  bool hasPicture() const { return picture_.has_value(); }
  const RgbImage* picture() const { return picture_ ? &*picture_ : nullptr; }
  const std::string& path() const { return path_; }
  double aspectRatio() const { return ratio_; }
  std::string fileNameText() const;   // the file's name without folder
  std::string pixelSizeText() const;  // width + "*" + height
  std::string fileSizeText() const;   // the file's size in Kb

  const SpinValue& widthBox() const { return width_; }
  const SpinValue& heightBox() const { return height_; }
  // A change of a box by the user; with proportions kept the other box
  // follows, and back, until neither shown value changes.
  void setWidth(double value);
  void setHeight(double value);
  bool keepRatio() const { return keepRatio_; }
  // Checking the box sets the height from the width.
  void setKeepRatio(bool keep);

  int quality() const { return quality_; }
  void setQuality(int quality);

  // The JPEG the saves write: the picture area-averaged onto the boxes'
  // rounded values at the quality. Empty when there is no picture or it fails.
  std::string encode() const;
  // Bytes of encode() without writing anything; nullopt on failure.
  std::optional<std::uint64_t> predictSize() const;

  // Writes encode() to path, replacing it atomically.
  CompressSaveResult saveAs(const std::string& path) const;
  // Writes over the opened file (JPEG data, whatever its name), then opens the
  // written file again.
  CompressSaveResult saveInPlace();

 private:
  void reset();
  void followWidth();
  void followHeight();

  std::optional<RgbImage> picture_;
  std::string path_;
  std::uint64_t fileSize_ = 0;
  double ratio_ = 0;
  SpinValue width_{1, 1, 100};
  SpinValue height_{1, 1, 100};
  bool keepRatio_ = true;
  int quality_ = 80;
};

}  // namespace qm::photo
