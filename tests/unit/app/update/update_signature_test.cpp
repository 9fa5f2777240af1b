#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/update/update_signature.h"
#include "common/text_encoding.h"
#include "tests/support/temp_folder.h"
#include "tests/support/update_signing.h"

using namespace qm;

TEST(UpdateSignature, Base64AfterWhitespaceIsRemoved) {
  struct Case {
    const char* text;
    std::optional<std::string> bytes;
  };
  const Case cases[] = {
      {"", std::string()},
      {"TWFu", std::string("Man")},
      {"TWE=", std::string("Ma")},
      {"TQ==", std::string("M")},
      {" T W\r\nF u\t", std::string("Man")},
      {"+/+/", std::string("\xfb\xff\xbf", 3)},
      {"TWF", std::nullopt},     // not whole quads
      {"TQ=", std::nullopt},
      {"T===", std::nullopt},    // three pads
      {"TQ==TWFu", std::nullopt},  // padding inside
      {"TR==", std::nullopt},    // bits after the last byte
      {"-_-_", std::nullopt},    // the URL alphabet is another encoding
      {"TWF\x01", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(decodeBase64Lenient(c.text), c.bytes);
  }
}

TEST(UpdateSignature, VerifiesOnlyTheExactBytesWithTheRightKey) {
  const std::string message = utf8ToGb18030("[file]\r\nfilename=quillmere\r\nver=2.4\r\n");
  const std::string signature = test::signWithTestKey(message);
  ASSERT_EQ(signature.size(), 88u);
  EXPECT_TRUE(verifyUpdateSignature(message, signature, test::testPublicKey()));
  EXPECT_FALSE(verifyUpdateSignature(message + " ", signature, test::testPublicKey()));
  EXPECT_FALSE(verifyUpdateSignature(message.substr(1), signature, test::testPublicKey()));
  EXPECT_FALSE(verifyUpdateSignature(message, signature, test::foreignPublicKey()));
  EXPECT_FALSE(verifyUpdateSignature(message, signature, ""));
  EXPECT_FALSE(verifyUpdateSignature(message, "", test::testPublicKey()));
  std::string flipped = test::rawTestSignature(message);
  flipped[10] = static_cast<char>(flipped[10] ^ 1);
  EXPECT_FALSE(verifyUpdateSignature(message, test::base64(flipped), test::testPublicKey()));
}

TEST(UpdateSignature, KeyFromTheSettingsFileTrimmedElseBuiltIn) {
  test::TempFolder tmp("update_key");
  const std::string settings = (tmp.path / "quillmeresz.ini").string();
  // No file, no key there: the build's key, which this build leaves empty.
  EXPECT_EQ(updatePublicKey(settings), builtInUpdatePublicKey());
  std::ofstream(settings, std::ios::binary) << utf8ToGb18030("[升级]\r\nurl=http://x/\r\npubkey=  " +
                                                              test::testPublicKey() + " \r\n");
  EXPECT_EQ(updatePublicKey(settings), test::testPublicKey());
  std::ofstream(settings, std::ios::binary) << utf8ToGb18030("[升级]\r\npubkey=   \r\n");
  EXPECT_EQ(updatePublicKey(settings), builtInUpdatePublicKey());
}

// A publisher signs with scripts/sign-update.sh and plain OpenSSL; the program accepts it.
TEST(UpdateSignature, SignUpdateScriptMakesWhatTheProgramAccepts) {
  test::TempFolder tmp("sign_update");
  const std::string descriptor = utf8ToGb18030("[file]\r\nfilename=quillmere\r\nver=9.9\r\nsjxx=新版\r\n");
  std::ofstream(tmp.path / "quillmereup.txt", std::ios::binary) << descriptor;
  const std::string command = std::string("bash '") + QM_SIGN_SCRIPT + "' '" +
                              test::updateFixturePath("test_update_key.pem") + "' '" + tmp.path.string() +
                              "' > '" + (tmp.path / "out.txt").string() + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream in(tmp.path / "quillmereup.sig", std::ios::binary);
  const std::string signature(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(signature.find('\n'), std::string::npos);
  EXPECT_TRUE(verifyUpdateSignature(descriptor, signature, test::testPublicKey()));
  // The script also prints the public key to put into the settings file.
  std::ifstream out(tmp.path / "out.txt");
  const std::string printed(std::istreambuf_iterator<char>(out), {});
  EXPECT_NE(printed.find(test::testPublicKey()), std::string::npos) << printed;
}
