#include "photo/compress/compress_model.h"

#include <algorithm>
#include <filesystem>

#include "common/atomic_file.h"
#include "common/log_categories.h"
#include "photo/compress/compress_texts.h"
#include "photo/image/jpeg_size.h"
#include "photo/image/picture_loader.h"
#include "photo/image/size_format.h"

namespace qm::photo {
namespace {

// The rule stops when a shown value stays; rounding makes that happen within
// a step or two, the bound only guards against a pathological ratio.
constexpr int kMaxFollowSteps = 16;

}  // namespace

bool CompressModel::open(const std::string& path) {
  auto bytes = readFileBytes(path);
  std::optional<RgbImage> picture;
  if (bytes) picture = decodePicture(*bytes);
  if (!picture) {
    reset();
    return false;
  }
  picture_ = std::move(picture);
  path_ = path;
  fileSize_ = bytes->size();
  // The boxes take the new picture's size as it is; the proportion rule is for
  // the user's changes and would apply the previous picture's ratio here.
  width_ = SpinValue(picture_->width, 1, picture_->width);
  height_ = SpinValue(picture_->height, 1, picture_->height);
  ratio_ = double(picture_->width) / picture_->height;
  return true;
}

void CompressModel::reset() {
  picture_.reset();
  path_.clear();
  fileSize_ = 0;
  ratio_ = 0;
  quality_ = 100;
  width_.set(1);
  height_.set(1);
}

std::string CompressModel::fileNameText() const {
  return picture_ ? std::filesystem::path(path_).filename().string() : std::string();
}

std::string CompressModel::pixelSizeText() const {
  return picture_ ? std::to_string(picture_->width) + "*" + std::to_string(picture_->height) : std::string();
}

std::string CompressModel::fileSizeText() const { return picture_ ? formatKb(fileSize_) : std::string(); }

void CompressModel::followWidth() {
  for (int step = 0; step < kMaxFollowSteps; ++step) {
    int before = height_.shown();
    height_.set(width_.value() / ratio_);
    if (height_.shown() == before) return;
    before = width_.shown();
    width_.set(height_.value() * ratio_);
    if (width_.shown() == before) return;
  }
}

void CompressModel::followHeight() {
  for (int step = 0; step < kMaxFollowSteps; ++step) {
    int before = width_.shown();
    width_.set(height_.value() * ratio_);
    if (width_.shown() == before) return;
    before = height_.shown();
    height_.set(width_.value() / ratio_);
    if (height_.shown() == before) return;
  }
}

void CompressModel::setWidth(double value) {
  width_.set(value);
  if (keepRatio_ && ratio_ != 0) followWidth();
}

void CompressModel::setHeight(double value) {
  height_.set(value);
  if (keepRatio_ && ratio_ != 0) followHeight();
}

void CompressModel::setKeepRatio(bool keep) {
  keepRatio_ = keep;
  if (keep && ratio_ != 0) followWidth();
}

void CompressModel::setQuality(int quality) { quality_ = std::clamp(quality, 1, 100); }

std::string CompressModel::encode() const {
  if (!picture_) return {};
  try {
    return encodeResized(*picture_, width_.shown(), height_.shown(), quality_);
  } catch (const std::exception&) {
    // No size to show for this picture; the reason goes to the trace.
    logCaughtException(lcPhoto(), "compress, encode");
    return {};
  }
}

std::optional<std::uint64_t> CompressModel::predictSize() const {
  std::string jpeg = encode();
  if (jpeg.empty()) return std::nullopt;
  return jpeg.size();
}

CompressSaveResult CompressModel::saveAs(const std::string& path) const {
  std::string jpeg = encode();
  if (jpeg.empty() || !saveFileAtomically(path, jpeg)) return {false, 0, kCompressSaveFailed};
  return {true, jpeg.size(), kCompressSavedAs + formatKb(jpeg.size())};
}

CompressSaveResult CompressModel::saveInPlace() {
  if (!picture_) return {false, 0, kCompressSaveFailed};
  CompressSaveResult result = saveAs(path_);
  if (!result.ok) return result;
  result.message = kCompressSaved + formatKb(result.size);
  std::string path = path_;
  int quality = quality_;
  if (!open(path)) return {false, result.size, kCompressSaveFailed};
  quality_ = quality;
  return result;
}

}  // namespace qm::photo
