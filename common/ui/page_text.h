#pragma once
// Texts that reach our dialogs from outside (a page's alert(), a server's
// realm) are bounded: a page cannot fill the screen with one box.
#include <QString>

namespace qm {

inline constexpr int kDialogTextLimit = 2000;

// The text's first 2,000 characters followed by "…" when it is longer; a
// character outside the BMP is never split.
QString boundedDialogText(const QString& text);

}  // namespace qm
