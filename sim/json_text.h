#pragma once
// JSON string bodies in the registration server's style: every character
// outside ASCII as a lower-case \uXXXX escape, surrogate pairs beyond the BMP.
#include <string>
#include <string_view>

namespace qm::sim {

// UTF-8 text as the inside of a JSON string (no quotes added). Invalid UTF-8 becomes U+FFFD.
std::string jsonEscaped(std::string_view utf8);

// Every character as a \uXXXX escape, ASCII included (the server sends some ID numbers so).
std::string jsonAllEscaped(std::string_view utf8);

}  // namespace qm::sim
