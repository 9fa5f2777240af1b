// The student walk without copies and in one forward pass. ReadKeyedRecord
// searches each key from the previous one and bounds every search by the next
// occurrence of the first key. Here the bytes between two keys are looked at
// once: for the next key, and for a first key among them, which is where the
// bound would fall. That is exact because of how the student keys are spelled
// (checked below at compile time): none can start inside the previous one, and
// the first key can neither overlap another key nor hold a byte a key starts with.
#include <cstring>

#include "server/protocol/student_record.h"

namespace qm {
namespace {

constexpr auto& kKeys = kStudentMarkers;
constexpr std::size_t kCount = kKeys.size();
static_assert(kCount == std::tuple_size_v<StudentFields>);

// Can b stand at offset d from a (d may be negative) and agree with a where they overlap?
constexpr bool agreeAt(std::string_view a, std::string_view b, long d) {
  for (long k = 0; k < static_cast<long>(a.size()); ++k) {
    const long j = k - d;
    if (j >= 0 && j < static_cast<long>(b.size()) && a[static_cast<std::size_t>(k)] != b[static_cast<std::size_t>(j)]) {
      return false;
    }
  }
  return true;
}

constexpr bool keysStayApart() {
  const std::string_view first = kKeys[0];
  if (first.size() < 2) return false;
  for (std::size_t i = 1; i < kCount; ++i) {
    const std::string_view key = kKeys[i];
    if (key.empty() || first.find(key[0]) != std::string_view::npos) return false;
    for (long d = 1 - static_cast<long>(key.size()); d < static_cast<long>(first.size()); ++d) {
      if (agreeAt(first, key, d)) return false;
    }
    const std::string_view before = kKeys[i - 1];
    for (long d = 0; d < static_cast<long>(before.size()); ++d) {
      if (agreeAt(before, key, d)) return false;
    }
  }
  return true;
}
static_assert(keysStayApart(), "the one-pass walk relies on the student keys never overlapping");

// NormalizeFieldValue as a view.
std::string_view Normalized(std::string_view cut) {
  if (!cut.empty() && cut.front() == '"') {
    cut = cut.size() >= 2 ? cut.substr(1, cut.size() - 2) : std::string_view{};
  }
  return cut == "null" ? std::string_view{} : cut;
}

bool sameAt(const char* at, std::string_view key) {
  for (std::size_t k = 0; k < key.size(); ++k) {
    if (at[k] != key[k]) return false;
  }
  return true;
}

// Whether the first key stands wholly inside [from, to). Every value is
// quoted, so look for its second byte ('x', no hex digit, no escape letter)
// rather than its quote.
bool holdsFirstKey(const char* from, const char* to) {
  const std::string_view first = kKeys[0];
  if (to - from < static_cast<std::ptrdiff_t>(first.size())) return false;
  const char* last = to - first.size() + 1;  // the key starts before this
  for (const char* s = from; s < last; ++s) {
    s = static_cast<const char*>(std::memchr(s + 1, first[1], static_cast<std::size_t>(last - s)));
    if (!s) return false;
    if (sameAt(--s, first)) return true;
  }
  return false;
}

// Where `key` first starts at `from` or later, or nullptr when it does not, or
// when the first key stands before it.
const char* nextKey(const char* from, const char* end, std::string_view key) {
  for (const char* chunk = from;;) {
    const auto left = end - chunk;
    if (left < static_cast<std::ptrdiff_t>(key.size())) return nullptr;
    const char* c = static_cast<const char*>(std::memchr(chunk, key[0], static_cast<std::size_t>(left)));
    // The first key holds no byte a key starts with, so it lies within one chunk.
    if (!c || holdsFirstKey(chunk, c)) return nullptr;
    if (end - c >= static_cast<std::ptrdiff_t>(key.size()) && sameAt(c, key)) return c;
    chunk = c + 1;
  }
}

// ReadKeyedRecord's walk as it stands, for an answer whose second key stands
// before the first: the search from the start of the text then reads keys
// from before the first key, and their order proves nothing.
bool readGeneral(std::string_view& remaining, StudentFields& out) {
  std::string_view t = remaining;
  std::size_t end = std::string_view::npos;
  for (std::size_t i = 0; i < kCount; ++i) {
    const std::string_view window = t.substr(0, end);
    const std::size_t p = window.find(kKeys[i]);
    if (p == std::string_view::npos) {
      remaining = t;
      return false;
    }
    if (i == 0) end = t.find(kKeys[0], p + kKeys[0].size());
    const std::size_t q = i + 1 < kCount ? t.substr(0, end).find(kKeys[i + 1]) : std::string_view::npos;
    if (i + 1 < kCount && q == std::string_view::npos) {
      remaining = t;
      return false;
    }
    const std::size_t from = p + kKeys[i].size();
    out[i] = q != std::string_view::npos && q > from ? Normalized(t.substr(from, q - from)) : std::string_view{};
    if (q != std::string_view::npos) {
      t.remove_prefix(q);
      if (end != std::string_view::npos) end -= q;
    }
  }
  remaining = t;
  return true;
}

}  // namespace

bool readStudentFields(std::string_view& remaining, StudentFields& out) {
  const std::string_view t = remaining;
  const std::size_t first = t.find(kKeys[0]);
  if (first == std::string_view::npos) return false;
  if (t.substr(0, first).find(kKeys[1]) != std::string_view::npos) return readGeneral(remaining, out);

  const char* const end = t.data() + t.size();
  const char* at = t.data() + first;  // the key of value i
  for (std::size_t i = 0; i + 1 < kCount; ++i) {
    const char* from = at + kKeys[i].size();
    const char* next = nextKey(from, end, kKeys[i + 1]);
    if (!next) {
      // ReadKeyedRecord has cut the text up to the last key it found.
      if (i > 0) remaining = std::string_view(at, static_cast<std::size_t>(end - at));
      return false;
    }
    out[i] = Normalized(std::string_view(from, static_cast<std::size_t>(next - from)));
    at = next;
  }
  out[kCount - 1] = {};
  remaining = std::string_view(at, static_cast<std::size_t>(end - at));
  return true;
}

}  // namespace qm
