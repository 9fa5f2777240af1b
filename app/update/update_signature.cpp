#include "app/update/update_signature.h"

#include <openssl/evp.h>

#include <memory>

#include "app/update/update_source.h"
#include "common/profile_file.h"
#include "common/trim.h"

#ifndef QM_UPDATE_PUBLIC_KEY
#define QM_UPDATE_PUBLIC_KEY ""
#endif

namespace qm {
namespace {

int base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

bool isAsciiSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

std::optional<std::string> decodeBase64Lenient(std::string_view text) {
  std::string clean;
  clean.reserve(text.size());
  for (char c : text)
    if (!isAsciiSpace(c)) clean += c;
  // Whole quads only; "=" only as the last one or two characters.
  if (clean.size() % 4 != 0) return std::nullopt;
  std::size_t pad = 0;
  while (pad < 2 && pad < clean.size() && clean[clean.size() - 1 - pad] == '=') ++pad;
  std::string out;
  out.reserve(clean.size() / 4 * 3);
  unsigned bits = 0;
  int held = 0;
  for (std::size_t i = 0; i < clean.size() - pad; ++i) {
    const int v = base64Value(clean[i]);
    if (v < 0) return std::nullopt;
    bits = (bits << 6) | static_cast<unsigned>(v);
    held += 6;
    if (held >= 8) {
      held -= 8;
      out += static_cast<char>((bits >> held) & 0xFF);
    }
  }
  // Bits left over beyond the padding must be zero, as an encoder leaves them.
  if (held > 0 && (bits & ((1u << held) - 1)) != 0) return std::nullopt;
  return out;
}

bool verifyUpdateSignature(std::string_view message, std::string_view signatureBase64,
                           std::string_view publicKeyBase64) {
  const auto key = decodeBase64Lenient(publicKeyBase64);
  const auto signature = decodeBase64Lenient(signatureBase64);
  if (!key || key->size() != 32 || !signature || signature->size() != 64) return false;
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> pkey(
      EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char*>(key->data()),
                                  key->size()),
      EVP_PKEY_free);
  if (!pkey) return false;
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  if (!ctx || EVP_DigestVerifyInit(ctx.get(), nullptr, nullptr, nullptr, pkey.get()) != 1) return false;
  return EVP_DigestVerify(ctx.get(), reinterpret_cast<const unsigned char*>(signature->data()), signature->size(),
                          reinterpret_cast<const unsigned char*>(message.data()), message.size()) == 1;
}

std::string builtInUpdatePublicKey() { return trimLow(QM_UPDATE_PUBLIC_KEY); }

std::string updatePublicKey(const std::string& settingsPath) {
  const std::string configured = trimLow(ProfileFile(settingsPath).read(kUpdateSection, kUpdatePublicKeyKey));
  return configured.empty() ? builtInUpdatePublicKey() : configured;
}

}  // namespace qm
