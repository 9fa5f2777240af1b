#pragma once
// TForm13 "输入验证码": one captcha entry of a duplicate-check run. When it
// opens it fetches a new picture on the run's client (same session, same
// headers) and shows it enlarged; the user types the code, Enter confirms
// and Esc cancels. 取消 does not withdraw the code: the run still sends what
// was typed and stops after that student.
#include <QDialog>
#include <QImage>
#include <QCoro/QCoroTask>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

class HttpClient;
class Prompts;

// The picture is shown this many times its size, so the digits read easily.
inline constexpr int kCaptchaZoom = 3;

class TForm13 : public QDialog {
  Q_OBJECT
 public:
  // `imageUrl`: the full address of the captcha picture.
  TForm13(std::shared_ptr<HttpClient> client, std::string imageUrl, Prompts& prompts, QWidget* parent = nullptr);
  ~TForm13() override;

  // Fetches and shows the picture; runs when the dialog first shows.
  QCoro::Task<> FormActivate();
  void Button1Click();  // 确定
  void Button2Click();  // 取消

  // What the entry held when the dialog closed, untrimmed.
  QString code() const;
  bool cancelled() const { return cancelled_; }
  bool closed() const { return closed_; }
  // The picture's answer was the login page: the dialog closed by itself.
  bool loginExpired() const { return loginExpired_; }
  // The picture in Image1 at its own size: the placeholder until one arrives.
  const QImage& picture() const { return picture_; }
  bool pictureLoaded() const { return loaded_; }

  QLabel* Image1;
  QLineEdit* Edit3;
  QPushButton *Button1, *Button2;

 signals:
  // The fetch has ended, with a picture or with its error shown.
  void pictureSettled();

 public slots:
  void done(int result) override;
  void reject() override;  // Esc is 取消

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void showPicture(const QImage& image);

  std::shared_ptr<HttpClient> client_;
  std::string imageUrl_;
  Prompts& prompts_;
  QImage picture_;
  bool loaded_ = false;
  bool activated_ = false;
  bool cancelled_ = false;
  bool closed_ = false;
  bool loginExpired_ = false;
};

// The built-in picture shown until the server's arrives.
QImage captchaPlaceholder();

}  // namespace qm
