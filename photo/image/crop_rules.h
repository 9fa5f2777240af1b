#pragma once
// Which part of a picture the photo tools keep. Pixel sizes round to the
// nearest integer, halves to the even neighbour.
namespace qm::photo {

int roundHalfEven(double v);

struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const PixelRect&) const = default;
};

// The registration photo: 154 x 189.
constexpr int kBatchPhotoWidth = 154;
constexpr int kBatchPhotoHeight = 189;
constexpr int kBatchPhotoQuality = 100;

// The part of a w x h picture scaled onto the registration photo: a centred
// vertical strip of a picture too wide, the top part of one too tall, else all.
PixelRect batchCropRect(int w, int h);

// The webcam window shows frames in a 400 x 300 area; rectangles drawn there
// are mapped onto the frame.
constexpr int kPreviewWidth = 400;
constexpr int kPreviewHeight = 300;

// A rectangle drawn over the shown frame, in shown pixels; it may reach
// past the shown area on any side.
struct ShownRect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct WebcamCrop {
  bool wholeFrame = true;  // save the frame as it is
  int outWidth = 0, outHeight = 0;
  PixelRect source;  // in frame pixels; may reach outside the frame
};

// What a save takes from a frameWidth x frameHeight frame. rect is null when no
// rectangle is shown. A rectangle that gives an empty picture (no width or no
// height) saves the whole frame.
WebcamCrop webcamCrop(int frameWidth, int frameHeight, const ShownRect* rect);

}  // namespace qm::photo
