#include "server/duplicate/captcha_dialog.h"

#include <QBuffer>
#include <QFont>
#include <QGridLayout>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QCoro/QCoroFuture>

#include <exception>

#include "common/log_categories.h"
#include "common/ui/prompts.h"
#include "common/ui/qt_text.h"
#include "net/async_request.h"
#include "net/http_client.h"
#include "server/duplicate/duplicate_answer.h"
#include "server/duplicate/duplicate_texts.h"

namespace qm {
namespace {

constexpr int kPictureWidth = 89;
constexpr int kPictureHeight = 25;

}  // namespace

QImage captchaPlaceholder() {
  QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
  image.fill(QColor(0xee, 0xee, 0xee));
  QPainter painter(&image);
  painter.setPen(QColor(0x99, 0x99, 0x99));
  painter.drawRect(0, 0, kPictureWidth - 1, kPictureHeight - 1);
  painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("..."));
  return image;
}

TForm13::TForm13(std::shared_ptr<HttpClient> client, std::string imageUrl, Prompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      client_(std::move(client)),
      imageUrl_(std::move(imageUrl)),
      prompts_(prompts) {
  setObjectName(QStringLiteral("TForm13"));
  setWindowTitle(q(kCaptchaDialogTitle));
  // Shown with show(), not exec(): the run awaits finished() without a nested loop.
  setWindowModality(Qt::ApplicationModal);

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setFixedSize(kPictureWidth * kCaptchaZoom, kPictureHeight * kCaptchaZoom);
  Edit3 = new QLineEdit(this);
  Edit3->setObjectName(QStringLiteral("Edit3"));
  QFont big = Edit3->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  Edit3->setFont(big);
  Button1 = new QPushButton(QStringLiteral("确定"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setDefault(true);
  Button2 = new QPushButton(QStringLiteral("取消"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setAutoDefault(false);
  connect(Button1, &QPushButton::clicked, this, &TForm13::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm13::Button2Click);

  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("验证码："), this), 0, 0);
  layout->addWidget(Image1, 0, 1, 1, 2);
  layout->addWidget(new QLabel(QStringLiteral("请输入："), this), 1, 0);
  layout->addWidget(Edit3, 1, 1, 1, 2);
  layout->addWidget(Button1, 2, 1);
  layout->addWidget(Button2, 2, 2);
  showPicture(captchaPlaceholder());
  setFixedSize(sizeHint());
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

TForm13::~TForm13() = default;

void TForm13::showPicture(const QImage& image) {
  picture_ = image;
  // Whole-pixel enlargement keeps the digits' edges sharp.
  Image1->setPixmap(QPixmap::fromImage(image.scaled(kPictureWidth * kCaptchaZoom, kPictureHeight * kCaptchaZoom,
                                                    Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

void TForm13::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Edit3->setFocus(Qt::OtherFocusReason);
  if (activated_) return;
  activated_ = true;
  FormActivate();
}

QCoro::Task<> TForm13::FormActivate() {
  QPointer<TForm13> self(this);
  // The frame keeps the client until the request has ended, whatever becomes of the dialog.
  std::shared_ptr<HttpClient> client = client_;
  Prompts& prompts = prompts_;
  QString error;
  std::string bytes;
  bool expired = false;
  QFuture<std::string> fetch = getAsync(*client, imageUrl_);
  try {
    bytes = co_await fetch;
    expired = isLoginPage(bytes);
  } catch (const HttpError& e) {
    error = QString::fromUtf8(e.what());
    expired = isLoginRedirect(e.status());
  } catch (...) {
    error = QString::fromStdString(logCaughtException(lcDuplicate(), "captcha picture"));
  }
  if (!self) co_return;
  if (expired) {
    // The session has ended: no code can help, the run says so itself.
    loginExpired_ = true;
    done(QDialog::Rejected);
    co_return;
  }
  if (error.isEmpty()) {
    QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer, "JPEG");
    const QImage image = reader.read();
    if (image.isNull()) {
      error = reader.errorString();
    } else {
      loaded_ = true;
      showPicture(image);
    }
  }
  if (!error.isEmpty()) prompts.message(error, kAppTitle, PromptIcon::Error);
  if (!self) co_return;
  emit pictureSettled();
}

void TForm13::Button1Click() {
  if (Edit3->text().isEmpty()) {
    prompts_.message(q(kCaptchaRequiredMessage), q(kNoteTitle));
    Edit3->setFocus(Qt::OtherFocusReason);
    return;
  }
  accept();
}

void TForm13::Button2Click() {
  cancelled_ = true;
  QDialog::reject();
}

void TForm13::reject() { Button2Click(); }

QString TForm13::code() const { return Edit3->text(); }

void TForm13::done(int result) {
  closed_ = true;
  QDialog::done(result);
}

}  // namespace qm
