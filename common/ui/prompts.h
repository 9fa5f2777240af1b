#pragma once
// The one way windows talk to the user through dialogs: message boxes,
// yes/no questions, file and folder choice, captcha entry. Production uses
// QtPrompts; tests use ScriptedPrompts.
#include <QImage>
#include <QString>

namespace qm {

inline const QString kAppTitle = QStringLiteral("Quillmere");

enum class PromptIcon { None, Information, Warning, Error, Question };

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
  virtual QString folder(const QString& caption) = 0;
  // Shows picture and asks for the text in it; empty result means cancelled.
  virtual QString captcha(const QImage& picture, const QString& caption) = 0;
};

// "EXCEL文件(.xls,.xlsx)|*.xls" -> "EXCEL文件(.xls,.xlsx) (*.xls)", pairs joined by ";;".
QString qtFilterFromWindows(const QString& filter);
// Adds ext (".xls") when the file name part has no extension.
QString withDefaultExtension(const QString& path, const QString& ext);

}  // namespace qm
