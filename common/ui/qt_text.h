#pragma once
// The logic's UTF-8 text as the windows' QString.
#include <QString>
#include <string_view>

namespace qm {

inline QString q(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

}  // namespace qm
