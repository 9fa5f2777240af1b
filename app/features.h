#pragma once
// Attaches the feature controllers (exports, checks, photo tools, settings,
// about and update, companion tools) to the main window.
#include "browser/main_window.h"

namespace qm {

void installFeatures(TForm1& form);

}  // namespace qm
