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
#include <sys/stat.h>
#include <unistd.h>

#include "common/ui/scripted_prompts.h"
#include "photo/compress/compress_window.h"
#include "photo/image/jpeg_codec.h"
#include "tests/support/temp_folder.h"
#include "tests/unit/photo/synthetic_photo.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

using qm::test::readFile;

struct CompressWindow : ::testing::Test {
  const test::TempFolder tmp{"compress_window"};
  const fs::path dir = tmp.path;
  ScriptedPrompts prompts;
  TForm10 form{prompts};


  // padTo > 0: bytes after the end-of-image marker bring the file to that
  // size (decoders ignore them), so its shown size is known.
  fs::path jpeg(const std::string& name, int w, int h, std::size_t padTo = 0) {
    const fs::path p = dir / name;
    std::string bytes = photo::encodeJpeg(photo::test::syntheticPhoto(w, h, 3), 95);
    if (padTo) {
      EXPECT_LT(bytes.size(), padTo) << name;
      bytes.resize(padTo, '\0');
    }
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  void open(const fs::path& p) {
    prompts.fileNames.push_back(QString::fromStdString(p.string()));
    form.Button4->click();
  }
};

TEST_F(CompressWindow, OpeningShowsThePictureAndTheBoxesFollowTheProportion) {
  const fs::path p = jpeg("a.jpg", 640, 480, 200005);
  open(p);
  EXPECT_EQ(form.Label11->text(), QStringLiteral("a.jpg"));
  EXPECT_EQ(form.Label10->text(), QStringLiteral("640*480"));
  EXPECT_EQ(form.Label9->text(), QStringLiteral("200.01Kb"));
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

// Hundredths of a thousand bytes, halves up: where a binary fraction
// printed with "%.2f" would round 1.005 down.
TEST_F(CompressWindow, OpenedFileSizesInKb) {
  const struct {
    std::size_t bytes;
    const char* shown;
  } cases[] = {{999, "1.00Kb"}, {1004, "1.00Kb"}, {1005, "1.01Kb"}, {1023, "1.02Kb"},
               {2675, "2.68Kb"}, {45100, "45.10Kb"}, {45105, "45.11Kb"}};
  for (const auto& c : cases) {
    open(jpeg("s" + std::to_string(c.bytes) + ".jpg", 12, 9, c.bytes));
    EXPECT_EQ(form.Label9->text(), QString::fromUtf8(c.shown)) << c.bytes;
  }
}

// A FIFO chosen in the open dialog is no picture; opening it does not wait
// for a writer that never comes.
TEST_F(CompressWindow, AFifoIsRefusedWithoutWaiting) {
  const fs::path fifo = dir / "pipe.jpg";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  open(fifo);
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("对不起，您选择的图片文件的格式无法识别！")});
  EXPECT_FALSE(form.Button2->isEnabled());
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
  const std::string written = readFile(bmp);
  ASSERT_GE(written.size(), 2u);
  EXPECT_EQ(written.substr(0, 2), std::string("\xFF\xD8"));  // JPEG data under the .bmp name
  // libjpeg-turbo 2.1's output for this picture at the slider's quality 80 with the accurate DCT.
  EXPECT_EQ(written.size(), 741u);
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("压缩保存成功！新的文件大小为0.74Kb")});
  EXPECT_EQ(prompts.log.back().title, QStringLiteral("Quillmere"));
  EXPECT_EQ(form.Label9->text(), QStringLiteral("0.74Kb"));
  EXPECT_EQ(form.Label10->text(), QStringLiteral("100*50"));
  EXPECT_EQ(form.RzSpinEdit1->value(), 100);
  EXPECT_EQ(form.RzSpinEdit1->maximum(), 100);
  EXPECT_EQ(form.RzSpinEdit2->value(), 50);
  EXPECT_TRUE(form.Label6->text().isEmpty());
  EXPECT_TRUE(form.Button1->isEnabled());
}

TEST_F(CompressWindow, SaveAsWritesTheNewFileAndKeepsTheOpenedOne) {
  const fs::path p = jpeg("a.jpg", 640, 480);
  const std::string original = readFile(p);
  open(p);
  form.RzSpinEdit1->setValue(320);
  const fs::path out = dir / "small.jpg";
  prompts.fileNames.push_back(QString::fromStdString(out.string()));
  form.Button2->click();
  const auto decoded = photo::decodeJpeg(readFile(out));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->width, 320);
  EXPECT_EQ(decoded->height, 240);
  // The same encoder at quality 80, as above.
  EXPECT_EQ(fs::file_size(out), 7514u);
  EXPECT_EQ(prompts.lastMessage(), QStringLiteral("压缩另存为成功！新的文件大小为7.51Kb"));
  EXPECT_EQ(readFile(p), original);
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
