#pragma once
// The one way windows talk to the user through dialogs: message boxes,
// yes/no questions, file and folder choice, captcha entry, and the dialogs a
// web page asks for (confirm, prompt, log-in). Production uses QtPrompts;
// tests use ScriptedPrompts.
#include <QImage>
#include <QString>
#include <optional>

#include "common/notice.h"

namespace qm {

inline const QString kAppTitle = QStringLiteral("Quillmere");
// Offered in a page's dialog that follows the previous one closely.
inline const QString kBlockPageDialogsText = QStringLiteral("阻止此网页继续弹出对话框");

using PromptIcon = NoticeIcon;

struct Credentials {
  QString user;
  QString password;
};

class Prompts {
 public:
  virtual ~Prompts() = default;
  // Modal message with an OK button.
  virtual void message(const QString& text, const QString& title = kAppTitle, PromptIcon icon = PromptIcon::None) = 0;
  // Yes/No question; true for Yes.
  virtual bool question(const QString& text, const QString& title = kAppTitle) = 0;
  // filter uses the Windows form "description|*.a;*.b"; empty result means cancelled.
  // The name comes back as chosen; callers add their default extension.
  virtual QString saveFileName(const QString& filter, const QString& startDir = {}) = 0;
  virtual QString openFileName(const QString& filter, const QString& startDir = {}) = 0;
  // Opens at startFolder when it names one; empty result means cancelled.
  virtual QString folder(const QString& caption, const QString& startFolder = {}) = 0;
  // Shows picture and asks for the text in it; empty result means cancelled.
  virtual QString captcha(const QImage& picture, const QString& caption) = 0;
  // OK/Cancel question with OK as the default button, as a web page's
  // confirm() is answered in a browser; true for OK.
  virtual bool confirm(const QString& text, const QString& title = kAppTitle) = 0;
  // Asks for one line of text, starting from value; nothing when cancelled
  // (an empty answer given with OK is still an answer).
  virtual std::optional<QString> textInput(const QString& text, const QString& value,
                                           const QString& title = kAppTitle) = 0;
  // Asks for a user name and a password (the password is not shown);
  // nothing when cancelled.
  virtual std::optional<Credentials> credentials(const QString& text, const QString& title = kAppTitle) = 0;

  // A web page's alert(), confirm() and prompt(). With offerBlock the box
  // also offers kBlockPageDialogsText; blocked tells whether it was ticked.
  // By default they are message(), confirm() and textInput() without it.
  virtual void pageAlert(const QString& text, bool offerBlock, bool& blocked) {
    (void)offerBlock;
    blocked = false;
    message(text);
  }
  virtual bool pageConfirm(const QString& text, bool offerBlock, bool& blocked) {
    (void)offerBlock;
    blocked = false;
    return confirm(text);
  }
  virtual std::optional<QString> pagePrompt(const QString& text, const QString& value, bool offerBlock,
                                            bool& blocked) {
    (void)offerBlock;
    blocked = false;
    return textInput(text, value);
  }
};

// "EXCEL文件(.xls,.xlsx)|*.xls" -> "EXCEL文件(.xls,.xlsx) (*.xls)", pairs joined by ";;".
QString qtFilterFromWindows(const QString& filter);
// Adds ext (".xls") when the file name part has no extension.
QString withDefaultExtension(const QString& path, const QString& ext);

}  // namespace qm
