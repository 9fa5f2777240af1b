#pragma once
// Decoders for the server's two escape forms and the marker cuts that take
// values out of raw answers. Answers are never parsed as JSON: values are cut
// between key markers, byte for byte, at the first occurrence. Positions are
// 1-based byte positions, arithmetic wraps at 32 bits, and no routine fails
// on any input: malformed text still yields a value.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Hex digits after trimming codes 0..32; other characters weigh 0; wraps at 32 bits.
std::int32_t HexTextToInt(std::string_view text);

// Groups of four characters ("\xHH"): the last two are the byte, the first two
// are not examined. A trailing group shorter than four is dropped.
std::string DecodeHexEscapes(std::string_view text);

// "\uXXXX" and "\UXXXX" escapes become UTF-16 code units; the text around them
// is taken as UTF-8 (invalid bytes give U+FFFD). A short escape at the end keeps
// the weights 4096, 256, 16, 1 for the digits it has.
std::u16string DecodeUnicodeEscapes(std::string_view text);
// The same as UTF-8: the spreadsheets keep characters the GBK code page lacks.
std::string DecodeUnicodeEscapesUtf8(std::string_view text);
// Appends the same bytes to `out`, without the UTF-16 step: an escaped high
// surrogate pairs only with an escaped low one right after it.
void AppendUnicodeEscapesUtf8(std::string_view text, std::string& out);

// `length` characters from position pos(marker) + length(marker) + skip. An
// absent marker counts as position 0, so the cut starts at a fixed offset.
std::string CutAfter(std::string_view text, std::string_view marker, int skip, int length);

// From after the start marker up to the character before the end marker;
// empty when the end marker does not lie beyond that start.
std::string CutBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker);

// Drops the quotes of a JSON string (first and last character) and maps "null" to empty.
std::string NormalizeFieldValue(std::string_view cut);

// Reads one record whose keys stand in the markers' order. `remaining` is cut
// so that it begins at the last marker found; an absent marker gives no record.
// Keys are looked for only before the next occurrence of the first marker, so
// a key missing from one record is never taken from the next one.
std::optional<std::vector<std::string>> ReadKeyedRecord(std::string_view& remaining,
                                                        std::span<const std::string_view> markers);

}  // namespace qm
