#pragma once
// "计算器" (F2): the desktop's calculator program, started detached and never
// through a shell.
#include <string>
#include <string_view>

namespace qm {

// Looks for the calculators on the search path (entries separated by ":"),
// the current desktop's own first (XDG_CURRENT_DESKTOP, e.g. "KDE" or
// "ubuntu:GNOME"), then gnome-calculator, kcalc, galculator, mate-calc, xcalc.
// The full path of the first executable found, or empty when there is none.
std::string findCalculator(std::string_view searchPath, std::string_view desktop);

// "calc.exe" on Windows; elsewhere findCalculator over PATH and XDG_CURRENT_DESKTOP.
std::string desktopCalculator();

}  // namespace qm
