#pragma once
// The program's logo for the about dialog's Image1, drawn rather than stored,
// so no picture file has to travel with the program.
#include <QPixmap>

namespace qm {

QPixmap aboutLogo(int width = 85, int height = 84);

}  // namespace qm
