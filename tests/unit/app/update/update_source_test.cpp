#include <gtest/gtest.h>

#include "common/profile_file.h"
#include "app/update/program_path.h"
#include "app/update/update_source.h"
#include "tests/support/temp_folder.h"

using namespace qm;

TEST(UpdateSource, BaseUrlFromTheSettingsFile) {
  test::TempFolder tmp("update_source");
  const std::string settings = (tmp.path / "quillmeresz.ini").string();
  // No file, and no key: the placeholder.
  EXPECT_EQ(updateBaseUrl(settings), kUpdateServerPlaceholder);
  ProfileFile file(settings);
  ASSERT_TRUE(file.write("学籍系统省份", "xjxtsf", "7"));
  EXPECT_EQ(updateBaseUrl(settings), kUpdateServerPlaceholder);
  ASSERT_TRUE(file.write("升级", "url", "   "));
  EXPECT_EQ(updateBaseUrl(settings), kUpdateServerPlaceholder);

  const std::pair<const char*, const char*> cases[] = {
      {"127.0.0.1:8123", "http://127.0.0.1:8123/"},
      {"http://127.0.0.1:8123/up", "http://127.0.0.1:8123/up/"},
      {"http://127.0.0.1:8123/up/", "http://127.0.0.1:8123/up/"},
      {" https://example.test/ ", "https://example.test/"},
  };
  for (auto [value, expected] : cases) {
    ASSERT_TRUE(file.write("升级", "url", value));
    EXPECT_EQ(updateBaseUrl(settings), expected) << value;
  }
  // The section name is Chinese; its case-insensitive twin in ASCII does not exist, the key is case-free.
  ASSERT_TRUE(file.write("升级", "URL", "host.test"));
  EXPECT_EQ(updateBaseUrl(settings), "http://host.test/");
}

TEST(UpdateSource, PlaceholderIsClearlyUnreachable) {
  EXPECT_NE(std::string(kUpdateServerPlaceholder).find(".invalid/"), std::string::npos);
}

TEST(UpdateSource, FileUrlsEncodeTheName) {
  EXPECT_EQ(updateFileUrl("http://h/", "quillmereup.txt"), "http://h/quillmereup.txt");
  EXPECT_EQ(updateFileUrl("http://h/", "new ver.jpg"), "http://h/new%20ver.jpg");
  EXPECT_EQ(updateFileUrl("http://h/", "学.jpg"), "http://h/%E5%AD%A6.jpg");
  EXPECT_EQ(updateFileUrl("http://h/", "a?b#c&d.jpg"), "http://h/a%3Fb%23c%26d.jpg");
}

// After an update replaced the running file, /proc/self/exe reads "<path> (deleted)".
TEST(ProgramPath, TheKernelsDeletedMarkIsNotPartOfThePath) {
  EXPECT_EQ(withoutDeletedMark("/opt/q/quillmere (deleted)"), "/opt/q/quillmere");
  EXPECT_EQ(withoutDeletedMark("/opt/q/quillmere"), "/opt/q/quillmere");
  EXPECT_EQ(withoutDeletedMark("/opt/q/quillmere (deleted) (deleted)"), "/opt/q/quillmere (deleted)");
  // Without an application object the link is read directly.
  const std::string self = runningProgramPath();
  EXPECT_EQ(self.substr(self.rfind('/') + 1), "test_app_update");
}
