#include "sim/update_files.h"

#include <iconv.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <QCryptographicHash>
#include <QByteArrayView>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#ifndef QM_SIM_UPDATE_KEY_FILE
#error "the test key's path comes from CMake (sim/CMakeLists.txt)"
#endif
#ifndef QM_SIM_PROGRAM_VERSION
#error "the program's version comes from CMake's project version (sim/CMakeLists.txt)"
#endif

namespace qm::sim {
namespace {

// Comment lines after the script's exit, so downloads are large enough to show progress.
std::string padded(std::string script, std::size_t size) {
  char line[96];
  for (int n = 1; script.size() + sizeof line < size; ++n) {
    std::snprintf(line, sizeof line, "# regsim padding line %06d ........................................\n", n);
    script += line;
  }
  script.append(size - script.size() - 1, '#');
  return script + "\n";
}

}  // namespace

std::string builtProgramVersion() { return QM_SIM_PROGRAM_VERSION; }

std::string newerProgramVersion() {
  const std::string v = builtProgramVersion();
  const auto dot = v.rfind('.');
  return v.substr(0, dot + 1) + std::to_string(std::stoi(v.substr(dot + 1)) + 1);
}

std::string standInProgram(const std::string& version) {
  return padded("#!/bin/sh\n# Quillmere " + version + " stand-in from regsim: leaves a mark beside itself and ends.\n"
                "printf '%s\\n' '" + version + "' > \"$0.started\"\nexit 0\n",
                256 * 1024);
}

std::string standInCompanion(std::string_view stem) {
  return padded("#!/bin/sh\n# Companion stand-in from regsim: leaves a mark beside itself and ends.\n"
                "printf '%s\\n' '" + std::string(stem) + "' > \"$0.started\"\nexit 0\n",
                64 * 1024);
}

bool isCompanionStem(std::string_view stem) { return stem == "pellow" || stem == "drumsel" || stem == "quorrit"; }

std::string updateDescriptor(const UpdateSettings& settings) {
  const std::string hash = sha256Hex(settings.wrongHash ? settings.program + "#" : settings.program);
  std::string text = std::string(settings.withoutSection ? "[readme]" : "[file]") + "\r\n" +
                     "filename=" + kUpdateProgramStem + "\r\n" + "ver=" + settings.version + "\r\n" +
                     "sjxx=新增省内学籍批量查重，修正若干问题。\r\n" + "sha256=" + hash + "\r\n[companions]\r\n";
  for (const char* stem : {"pellow", "drumsel", "quorrit"}) {
    const std::string bytes = standInCompanion(stem);
    text += std::string(stem) + "=" + sha256Hex(settings.companionWrongHash ? bytes + "#" : bytes) + "\r\n";
  }
  std::string out;
  return toGb18030(text, out) ? out : text;
}

std::string defaultUpdateKeyFile() { return QM_SIM_UPDATE_KEY_FILE; }

std::string signUpdateDescriptor(std::string_view bytes, const std::string& keyFile) {
  FILE* f = std::fopen(keyFile.c_str(), "rb");
  if (!f) return {};
  EVP_PKEY* key = PEM_read_PrivateKey(f, nullptr, nullptr, nullptr);
  std::fclose(f);
  if (!key) return {};
  std::string out;
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  unsigned char signature[64];
  std::size_t length = sizeof signature;
  if (ctx && EVP_DigestSignInit(ctx, nullptr, nullptr, nullptr, key) == 1 &&
      EVP_DigestSign(ctx, signature, &length, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) == 1 &&
      length == sizeof signature) {
    unsigned char text[4 * ((sizeof signature + 2) / 3) + 1];
    const int n = EVP_EncodeBlock(text, signature, static_cast<int>(length));
    out.assign(reinterpret_cast<const char*>(text), static_cast<std::size_t>(n));
  }
  EVP_MD_CTX_free(ctx);
  EVP_PKEY_free(key);
  return out;
}

std::string sha256Hex(std::string_view bytes) {
  const QByteArray digest = QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                                     QCryptographicHash::Sha256);
  return digest.toHex().toStdString();
}

std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string();
}

bool toGb18030(const std::string& utf8, std::string& out) {
  iconv_t cd = iconv_open("GB18030", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::vector<char> buffer(utf8.size() * 2 + 16);
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* to = buffer.data();
  std::size_t toLeft = buffer.size();
  const bool ok = iconv(cd, &in, &inLeft, &to, &toLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
  iconv_close(cd);
  if (ok) out.assign(buffer.data(), buffer.size() - toLeft);
  return ok;
}

}  // namespace qm::sim
