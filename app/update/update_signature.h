#pragma once
// Who sent the update: the descriptor "quillmereup.txt" is signed with the
// publisher's Ed25519 key, and "quillmereup.sig" beside it holds the Base64 of
// the 64 raw signature bytes over the exact bytes served. The public key is
// the Base64 of its 32 raw bytes, from "[升级] pubkey=" in the settings file or
// compiled in (CMake cache variable QM_UPDATE_PUBLIC_KEY).
#include <optional>
#include <string>
#include <string_view>

namespace qm {

inline constexpr const char* kSignatureRemoteName = "quillmereup.sig";
inline constexpr const char* kSignatureFileName = "quillmereup.sig";
inline constexpr const char* kUpdatePublicKeyKey = "pubkey";

// Standard Base64 (RFC 4648, "+/" and "=" padding) after removing every ASCII
// whitespace character; nothing when the rest is not Base64.
std::optional<std::string> decodeBase64Lenient(std::string_view text);

// True only when publicKey decodes to 32 bytes, signature to exactly 64, and
// the signature verifies over message.
bool verifyUpdateSignature(std::string_view message, std::string_view signatureBase64, std::string_view publicKeyBase64);

// The key to check updates with: the settings key, trimmed, when it holds
// anything, else the compiled-in one; empty when neither is set.
std::string updatePublicKey(const std::string& settingsPath);
// The compiled-in key (empty unless the build gave one).
std::string builtInUpdatePublicKey();

}  // namespace qm
