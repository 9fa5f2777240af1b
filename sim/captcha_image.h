#pragma once
// The province-wide query's captcha picture: a code of digits drawn with a small
// built-in font on a noisy background, encoded as a JPEG of 89 by 25 pixels.
#include <string>

namespace qm::sim {

inline constexpr int kCaptchaWidth = 89;
inline constexpr int kCaptchaHeight = 25;

// JPEG bytes of the picture; empty when the encoder fails. Characters other
// than digits are left out of the drawing. The noise depends on the code only.
std::string captchaJpeg(const std::string& code);

}  // namespace qm::sim
