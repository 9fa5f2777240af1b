#include "common/ui/page_text.h"

namespace qm {

QString boundedDialogText(const QString& text) {
  // Count characters, not UTF-16 units.
  int units = 0;
  for (int chars = 0; units < text.size(); ++chars) {
    if (chars == kDialogTextLimit) return text.left(units) + QChar(0x2026);
    units += text.at(units).isHighSurrogate() && units + 1 < text.size() && text.at(units + 1).isLowSurrogate() ? 2 : 1;
  }
  return text;
}

}  // namespace qm
