#pragma once
// The update tests' keys (tests/fixtures/update/): signing with the test key,
// and the public keys as "[升级] pubkey=" takes them.
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#ifndef QM_UPDATE_FIXTURES
#error "the test needs QM_UPDATE_FIXTURES, the folder of the update test keys"
#endif

namespace qm::test {

inline std::string updateFixturePath(const std::string& name) { return std::string(QM_UPDATE_FIXTURES) + "/" + name; }

inline std::string fixtureKeyText(const std::string& name) {
  std::ifstream in(updateFixturePath(name), std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), {});
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

inline std::string testPublicKey() { return fixtureKeyText("test_update_key.pub"); }
// The public half of a key pair whose private half nobody has.
inline std::string foreignPublicKey() { return fixtureKeyText("foreign_key.pub"); }

// The 64 raw bytes of the test key's Ed25519 signature over bytes.
inline std::string rawTestSignature(std::string_view bytes) {
  FILE* f = std::fopen(updateFixturePath("test_update_key.pem").c_str(), "rb");
  if (!f) return {};
  EVP_PKEY* key = PEM_read_PrivateKey(f, nullptr, nullptr, nullptr);
  std::fclose(f);
  std::string out(64, '\0');
  std::size_t length = out.size();
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  const bool ok = key && ctx && EVP_DigestSignInit(ctx, nullptr, nullptr, nullptr, key) == 1 &&
                  EVP_DigestSign(ctx, reinterpret_cast<unsigned char*>(out.data()), &length,
                                 reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) == 1;
  EVP_MD_CTX_free(ctx);
  EVP_PKEY_free(key);
  return ok && length == 64 ? out : std::string();
}

inline std::string base64(std::string_view raw) {
  std::string out(4 * ((raw.size() + 2) / 3) + 1, '\0');
  const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                reinterpret_cast<const unsigned char*>(raw.data()), static_cast<int>(raw.size()));
  out.resize(static_cast<std::size_t>(n));
  return out;
}

// "quillmereup.sig" for bytes, as scripts/sign-update.sh writes it.
inline std::string signWithTestKey(std::string_view bytes) { return base64(rawTestSignature(bytes)); }

}  // namespace qm::test
