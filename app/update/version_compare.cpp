#include "app/update/version_compare.h"

#include <charconv>
#include <climits>
#include <optional>

namespace qm {
namespace {

// Decimal digits with an optional sign, within the 32-bit range the original
// conversion took; anything else (blanks, hex, a trailing letter) is no integer.
std::optional<long long> parsePiece(std::string_view piece) {
  if (piece.empty()) return 0;
  std::string_view digits = piece;
  bool negative = false;
  if (digits.front() == '+' || digits.front() == '-') {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty() || digits.front() < '0' || digits.front() > '9') return std::nullopt;
  long long value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (value > static_cast<long long>(INT_MAX) + (negative ? 1 : 0)) return std::nullopt;
  return negative ? -value : value;
}

}  // namespace

std::string invalidIntegerMessage(std::string_view piece) {
  return "'" + std::string(piece) + "' is not a valid integer value";
}

VersionNumbers splitVersion(std::string_view text) {
  VersionNumbers out;
  std::string_view rest = text;
  bool lastTaken = false;
  for (std::size_t i = 0; i < out.numbers.size() && !lastTaken; ++i) {
    std::string_view piece;
    std::size_t dot = rest.find('.');
    if (dot == std::string_view::npos) {
      piece = rest;
      lastTaken = true;
    } else {
      piece = rest.substr(0, dot);
      rest.remove_prefix(dot + 1);
    }
    std::optional<long long> value = parsePiece(piece);
    if (!value) {
      out.error = invalidIntegerMessage(piece);
      return out;
    }
    out.numbers[i] = *value;
  }
  return out;
}

VersionComparison compareVersions(std::string_view candidate, std::string_view running) {
  VersionComparison result;
  VersionNumbers a = splitVersion(candidate);
  if (!a.ok()) {
    result.error = a.error;
    return result;
  }
  VersionNumbers b = splitVersion(running);
  if (!b.ok()) {
    result.error = b.error;
    return result;
  }
  for (std::size_t i = 0; i < a.numbers.size(); ++i) {
    if (a.numbers[i] != b.numbers[i]) {
      result.newer = a.numbers[i] > b.numbers[i];
      break;
    }
  }
  return result;
}

}  // namespace qm
