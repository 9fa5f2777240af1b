#include <gtest/gtest.h>

#include "app/update/version_compare.h"
#include "app/update/version_record.h"

using namespace qm;

TEST(VersionRecord, FileVersionIsTheProjectVersionInFourNumbers) {
  const VersionRecord& r = programVersionRecord();
  EXPECT_EQ(r.fileDescription, "Quillmere");
  EXPECT_EQ(r.productVersion, QM_TEST_PROJECT_VERSION);
  // The project version with its missing parts as 0, four numbers in all.
  std::string expected = QM_TEST_PROJECT_VERSION;
  int dots = 0;
  for (char c : expected) dots += c == '.';
  for (; dots < 3; ++dots) expected += ".0";
  EXPECT_EQ(r.fileVersion, expected);
  EXPECT_TRUE(splitVersion(r.fileVersion).ok());
  EXPECT_FALSE(r.legalCopyright.empty());
}

TEST(VersionRecord, AboutLabels) {
  AboutLabels l = aboutLabels({"Quillmere", "2.3.40.5", "2.3", "(C) someone"});
  EXPECT_EQ(l.description, "Quillmere");
  EXPECT_EQ(l.version, "版本:2.3.40.5 (2.3)");
  EXPECT_EQ(l.copyright, "(C) someone");
}
