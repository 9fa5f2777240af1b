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

// Text after the first marker up to the next '"' (to the end when there is none); empty when
// the marker is absent. How the server reads the values of a request's JSON body.
std::string quotedValueAfter(std::string_view text, std::string_view marker);

}  // namespace qm::sim
