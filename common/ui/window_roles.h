#pragma once
// Top-level tool windows made from a plain QWidget are told to assistive
// technology as windows: Qt would expose them as "filler" (a client area),
// and a screen reader would not announce them.

namespace qm {

// Installs the accessibility factory once for the process.
void installWindowRoles();

}  // namespace qm
