// TForm10 through its controls: opening, the proportion rule, the reset on a
// file that is no picture, the prediction, and the saves.
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include "common/ui/scripted_prompts.h"
#include "photo/compress/compress_window.h"
#include "photo/image/jpeg_codec.h"
#include "tests/unit/photo/synthetic_photo.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

struct CompressWindow : ::testing::Test {
  fs::path dir = fs::temp_directory_path() / ("qm_compress_window_" + std::to_string(::getpid()));
  ScriptedPrompts prompts;
  TForm10 form{prompts};

  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }

  fs::path jpeg(const std::string& name, int w, int h) {
    const fs::path p = dir / name;
    std::ofstream(p, std::ios::binary) << photo::encodeJpeg(photo::test::syntheticPhoto(w, h, 3), 95);
    return p;
  }
  void open(const fs::path& p) {
    prompts.fileNames.push_back(QString::fromStdString(p.string()));
    form.Button4->click();
  }
};

TEST_F(CompressWindow, OpeningShowsThePictureAndTheBoxesFollowTheProportion) {
  const fs::path p = jpeg("a.jpg", 640, 480);
  open(p);
  EXPECT_EQ(form.Label11->text(), QStringLiteral("a.jpg"));
  EXPECT_EQ(form.Label10->text(), QStringLiteral("640*480"));
  EXPECT_EQ(form.Label9->text(),
            QString::asprintf("%.2fKb", double(fs::file_size(p)) / 1000.0));
  EXPECT_EQ(form.RzSpinEdit1->value(), 640);
  EXPECT_EQ(form.RzSpinEdit1->maximum(), 640);
  EXPECT_EQ(form.RzSpinEdit2->value(), 480);
  EXPECT_EQ(form.RzSpinEdit2->maximum(), 480);
  EXPECT_TRUE(form.Button1->isEnabled() && form.Button2->isEnabled() && form.Button5->isEnabled());

  form.RzSpinEdit1->setValue(320);
  EXPECT_EQ(form.RzSpinEdit2->value(), 240);
  form.RzSpinEdit2->setValue(120);
  EXPECT_EQ(form.RzSpinEdit1->value(), 160);

  form.CheckBox2->click();  // unchecked: the boxes are free
  form.RzSpinEdit2->setValue(300);
  EXPECT_EQ(form.RzSpinEdit1->value(), 160);
  form.CheckBox2->click();  // checked again: the height follows the width
  EXPECT_EQ(form.RzSpinEdit2->value(), 120);

  form.TrackBar1->setValue(35);
  EXPECT_EQ(form.Label5->text(), QStringLiteral("35"));
  EXPECT_EQ(form.model().quality(), 35);
}

TEST_F(CompressWindow, PredictionWritesNothingAndFollowsTheQuality) {
  open(jpeg("a.jpg", 640, 480));
  const auto before = fs::directory_iterator(dir);
  form.TrackBar1->setValue(100);
  form.Button5->click();
  const QString high = form.Label6->text();
  form.TrackBar1->setValue(1);
  form.Button5->click();
  const QString low = form.Label6->text();
  ASSERT_TRUE(high.endsWith("Kb") && low.endsWith("Kb"));
  EXPECT_LT(low.chopped(2).toDouble(), high.chopped(2).toDouble());
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(CompressWindow, UnreadablePictureResetsTheWindow) {
  open(jpeg("a.jpg", 640, 480));
  form.Button5->click();
  const fs::path junk = dir / "junk.jpg";
  std::ofstream(junk) << "not a picture";
  open(junk);
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("对不起，您选择的图片文件的格式无法识别！")});
  EXPECT_EQ(prompts.log.back().title, QStringLiteral("错误"));
  for (QLabel* l : {form.Label11, form.Label10, form.Label9, form.Label6}) EXPECT_TRUE(l->text().isEmpty());
  EXPECT_EQ(form.TrackBar1->value(), 100);
  EXPECT_EQ(form.Label5->text(), QStringLiteral("100"));
  EXPECT_EQ(form.RzSpinEdit1->value(), 1);
  EXPECT_EQ(form.RzSpinEdit2->value(), 1);
  EXPECT_FALSE(form.Button1->isEnabled() || form.Button2->isEnabled() || form.Button5->isEnabled());
  EXPECT_EQ(form.model().aspectRatio(), 0);
}

TEST_F(CompressWindow, BitmapSavedInPlaceAsJpegReopens) {
  const fs::path bmp = dir / "b.bmp";
  QImage picture(200, 100, QImage::Format_RGB888);  // written by Qt, not by our codec
  picture.fill(QColor(30, 120, 200));
  ASSERT_TRUE(picture.save(QString::fromStdString(bmp.string()), "BMP"));
  open(bmp);
  ASSERT_EQ(form.Label10->text(), QStringLiteral("200*100"));
  form.RzSpinEdit1->setValue(100);
  ASSERT_EQ(form.RzSpinEdit2->value(), 50);

  form.Button1->click();
  const std::string written = readAll(bmp);
  ASSERT_GE(written.size(), 2u);
  EXPECT_EQ(written.substr(0, 2), std::string("\xFF\xD8"));  // JPEG data under the .bmp name
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("压缩保存成功！新的文件大小为") + form.Label9->text()});
  EXPECT_EQ(prompts.log.back().title, QStringLiteral("Quillmere"));
  EXPECT_EQ(form.Label9->text(), QString::asprintf("%.2fKb", double(written.size()) / 1000.0));
  EXPECT_EQ(form.Label10->text(), QStringLiteral("100*50"));
  EXPECT_EQ(form.RzSpinEdit1->value(), 100);
  EXPECT_EQ(form.RzSpinEdit1->maximum(), 100);
  EXPECT_EQ(form.RzSpinEdit2->value(), 50);
  EXPECT_TRUE(form.Label6->text().isEmpty());
  EXPECT_TRUE(form.Button1->isEnabled());
}

TEST_F(CompressWindow, SaveAsWritesTheNewFileAndKeepsTheOpenedOne) {
  const fs::path p = jpeg("a.jpg", 640, 480);
  const std::string original = readAll(p);
  open(p);
  form.RzSpinEdit1->setValue(320);
  const fs::path out = dir / "small.jpg";
  prompts.fileNames.push_back(QString::fromStdString(out.string()));
  form.Button2->click();
  const auto decoded = photo::decodeJpeg(readAll(out));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->width, 320);
  EXPECT_EQ(decoded->height, 240);
  EXPECT_EQ(prompts.lastMessage(),
            QStringLiteral("压缩另存为成功！新的文件大小为") +
                QString::asprintf("%.2fKb", double(fs::file_size(out)) / 1000.0));
  EXPECT_EQ(readAll(p), original);
  EXPECT_EQ(form.Label10->text(), QStringLiteral("640*480"));

  prompts.fileNames.push_back(QString::fromStdString((dir / "missing" / "x.jpg").string()));
  form.Button2->click();
  EXPECT_EQ(prompts.lastMessage(), QStringLiteral("保存失败，请重试或检查磁盘权限！"));
  EXPECT_EQ(prompts.log.back().title, QStringLiteral("错误"));
}

}  // namespace
}  // namespace qm

#include <QApplication>
#include <QTimer>

#include "photo/compress/compress_controller.h"
#include "tests/gui/app/window_host_stub.h"

namespace qm {
namespace {

// "压图" and F8 open a new modal TForm10 on each press.
TEST(CompressController, ButtonOpensANewModalWindowEachTime) {
  test::WindowHostStub host;
  auto* controller = new CompressController(host);
  QPushButton* button = host.button("FlatButton22");
  ASSERT_TRUE(button);
  EXPECT_EQ(button->text(), QStringLiteral("压图"));
  EXPECT_EQ(host.keys["FlatButton22"], QKeySequence(Qt::Key_F8));
  std::vector<QWidget*> seen;
  for (int i = 0; i < 2; ++i) {
    QTimer::singleShot(0, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      seen.push_back(modal);
      EXPECT_EQ(modal, controller->form());
      if (modal) modal->close();
    });
    button->click();  // returns when the modal window closes
    EXPECT_EQ(controller->form(), nullptr);  // deleted on close
  }
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_TRUE(seen[0] && seen[1]);
}

}  // namespace
}  // namespace qm
