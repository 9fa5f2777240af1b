#pragma once
// What the about dialog and the companion tool dialog share: the progress bar
// ProgressBar1 and the one-panel status bar StatusBar1 of a download, the link
// label Label6 to the publisher's site, and notices shown through Prompts.
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "app/update/transfer_view.h"

class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QWidget;

namespace qm {

class Prompts;

struct TransferWidgets {
  QProgressBar* ProgressBar1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;

  explicit TransferWidgets(QWidget* parent);
  void setStatus(const std::string& text, bool repaintNow);
  void setProgress(std::int64_t value, std::int64_t maximum);
  QString status() const;
};

// The TransferView of both download dialogs (TForm3, TForm11): their
// Button1 and Label6 are off while a transfer runs; Button3 "退出(&Q)" stays
// on, because it (like Esc and the title bar's close) cancels the transfer.
// A dialog derives from it beside its own view interface, which derives
// virtually from TransferView, so these are the dialog's overrides.
class TransferDialogView : public virtual TransferView {
 public:
  TransferDialogView(QWidget* dialog, Prompts& prompts) : prompts_(prompts), transfer_(dialog) {}
  void setControlsEnabled(bool enabled) override;
  void setStatus(const std::string& text, bool repaintNow) override;
  void setProgress(std::int64_t value, std::int64_t maximum) override;
  void showNotice(const Notice& notice) override;
  QString statusText() const { return transfer_.status(); }

 protected:
  Prompts& prompts_;
  TransferWidgets transfer_;
  QPushButton* Button1 = nullptr;
  QPushButton* Button3 = nullptr;
  QLabel* Label6 = nullptr;
};

// Label6: the publisher's address as a link with a hand cursor; a click calls onClick.
QLabel* makeSiteLink(QWidget* parent, std::function<void()> onClick);

// Notice texts break lines with a bare CR; Qt's boxes want LF.
QString noticeText(const std::string& text);
void showNotice(Prompts& prompts, const Notice& notice);
bool askNotice(Prompts& prompts, const Notice& notice);

// Fixed size at what the layout asks for, centred on the desktop.
void fixAndCentre(QDialog* dialog);

}  // namespace qm
