#pragma once
// Whether a close request keeps the main window open after it clicked the
// home page's log-off links. The window stays when at least one link was
// clicked and the cursor lies outside the band around the screen's centre
// (W/2 - 72, W/2 + 13), ends excluded from the band; W/2 is not rounded.

namespace qm {

inline bool staysOpenAfterLogoff(int linksClicked, int cursorX, int screenWidth) {
  if (linksClicked < 1) return false;
  const double half = screenWidth / 2.0;
  return cursorX <= half - 72 || cursorX >= half + 13;
}

}  // namespace qm
