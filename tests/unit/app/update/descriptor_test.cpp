#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/update/update_check.h"
#include "app/update/update_descriptor.h"
#include "common/text_encoding.h"
#include "tests/support/temp_folder.h"

using namespace qm;

namespace {

const std::string kHashAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

UpdateDescriptor readText(const std::string& utf8Text) {
  test::TempFolder tmp("descriptor");
  auto path = tmp.path / "quillmereup.ini";
  std::ofstream(path, std::ios::binary) << utf8ToGb18030(utf8Text);
  return readUpdateDescriptor(path.string());
}

}  // namespace

TEST(UpdateDescriptor, ReadsSectionFile) {
  UpdateDescriptor d = readText("[FILE]\r\nFileName=quillmere2\r\nver = 2.4 \r\nsjxx=修复导出；新增体测\r\nsha256=" +
                                kHashAbc + "\r\n[other]\r\nver=9\r\n");
  EXPECT_EQ(d.filename, "quillmere2");
  EXPECT_EQ(d.ver, "2.4");
  EXPECT_EQ(d.sjxx, "修复导出；新增体测");
  EXPECT_EQ(d.sha256, kHashAbc);
}

TEST(UpdateDescriptor, MissingSectionReadsEmpty) {
  UpdateDescriptor d = readText("[files]\r\nfilename=x\r\nver=2.4\r\n");
  EXPECT_EQ(d.filename, "");
  EXPECT_EQ(d.ver, "");
  EXPECT_EQ(d.sha256, "");
  // An HTML error page saved as the descriptor is no descriptor either.
  EXPECT_EQ(readText("<html><body>404</body></html>").ver, "");
}

TEST(UpdateDescriptor, Sha256Form) {
  EXPECT_TRUE(isSha256Hex(kHashAbc));
  std::string upper = kHashAbc;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_TRUE(isSha256Hex(upper));
  EXPECT_FALSE(isSha256Hex(""));
  EXPECT_FALSE(isSha256Hex(kHashAbc.substr(1)));
  EXPECT_FALSE(isSha256Hex(kHashAbc + "0"));
  EXPECT_FALSE(isSha256Hex("g" + kHashAbc.substr(1)));
}

TEST(UpdateDescriptor, PlainFileStems) {
  for (const char* good : {"quillmere", "quillmere 2.5", "新版", ".hidden", "a..b"}) EXPECT_TRUE(isPlainFileStem(good)) << good;
  for (const char* bad : {"", ".", "..", "../quillmere", "sub/quillmere", "..\\x", "C:x", "a\tb", "/etc/passwd"})
    EXPECT_FALSE(isPlainFileStem(bad)) << bad;
}

namespace {

struct DecisionCase {
  const char* name;
  UpdateDescriptor d;
  const char* running;
  bool automatic;
  UpdateDecision::Kind kind;
  Notice notice;
};

}  // namespace

TEST(UpdateDescriptor, Decisions) {
  const Notice upToDate{"您所使用的已经是最新版本！", "信息", NoticeIcon::Information};
  const Notice noVer{"无法获取升级文件版本！", "错误", NoticeIcon::None};
  const Notice noRunning{"无法获取当前文件版本！", "错误", NoticeIcon::None};
  const Notice noHash{"升级文件的签名或校验不正确，已停止升级。", "错误", NoticeIcon::Error};
  const Notice badName{"升级配置文件给出的文件名无效，已停止升级！", "错误", NoticeIcon::Error};
  const Notice ask{"新版本2.4已经发布，是否升级？\r主要更新：\r修复导出", "新版本提醒", NoticeIcon::Question};
  const UpdateDescriptor newer{"q2", "2.4", "修复导出", kHashAbc};
  const DecisionCase cases[] = {
      {"newer, manual", newer, "2.3.40.5", false, UpdateDecision::Ask, ask},
      {"newer, automatic", newer, "2.3.40.5", true, UpdateDecision::Ask, ask},
      {"equal, manual", {"q2", "2.3.40.5", "", kHashAbc}, "2.3.40.5", false, UpdateDecision::Stop, upToDate},
      {"equal, automatic", {"q2", "2.3.40.5", "", kHashAbc}, "2.3.40.5", true, UpdateDecision::StopSilently, {}},
      {"older, manual", {"q2", "2.3.40", "", kHashAbc}, "2.3.40.5", false, UpdateDecision::Stop, upToDate},
      {"no ver, manual", {"q2", "", "", kHashAbc}, "2.3.40.5", false, UpdateDecision::Stop, noVer},
      {"no ver, automatic", {"q2", " \t", "", kHashAbc}, "2.3.40.5", true, UpdateDecision::Stop, noVer},
      {"no running version", newer, " ", true, UpdateDecision::Stop, noRunning},
      {"bad piece", {"q2", "2.x", "", kHashAbc}, "2.3.40.5", true, UpdateDecision::Stop,
       {"'x' is not a valid integer value", "Quillmere", NoticeIcon::Error}},
      {"newer without hash", {"q2", "2.4", "", ""}, "2.3.40.5", true, UpdateDecision::Stop, noHash},
      {"newer with a short hash", {"q2", "2.4", "", "abc"}, "2.3.40.5", false, UpdateDecision::Stop, noHash},
      {"newer with a path for a name", {"../q2", "2.4", "", kHashAbc}, "2.3.40.5", false, UpdateDecision::Stop, badName},
      {"newer without a name", {"", "2.4", "", kHashAbc}, "2.3.40.5", false, UpdateDecision::Stop, badName},
      // Not newer: the hash does not matter.
      {"equal without hash", {"q2", "2.3.40.5", "", ""}, "2.3.40.5", false, UpdateDecision::Stop, upToDate},
  };
  for (const DecisionCase& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateDecision r = decideUpdate(c.d, c.running, c.automatic);
    EXPECT_EQ(r.kind, c.kind);
    EXPECT_EQ(r.notice.text, c.notice.text);
    EXPECT_EQ(r.notice.title, c.notice.title);
    EXPECT_EQ(r.notice.icon, c.notice.icon);
  }
}
