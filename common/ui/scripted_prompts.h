#pragma once
// Prompts for tests: answers come from queues, every dialog is recorded.
#include <QStringList>
#include <deque>
#include <vector>

#include "common/ui/prompts.h"

namespace qm {

struct RecordedPrompt {
  enum Kind { Message, Question, SaveFile, OpenFile, Folder, Captcha, Confirm, TextInput, Login } kind;
  QString text;   // message/question text, the filter of a file dialog, a folder's caption
  QString title;
  PromptIcon icon = PromptIcon::None;
  QString value;  // the starting value of a text input, the start folder of a folder choice
};

class ScriptedPrompts : public Prompts {
 public:
  std::deque<bool> answers;       // questions; an empty queue answers No
  std::deque<QString> fileNames;  // save/open/folder; an empty queue cancels
  std::deque<QString> captchas;   // an empty queue cancels
  std::deque<bool> confirmations;  // confirm(); an empty queue answers Cancel
  std::deque<std::optional<QString>> texts;      // textInput(); an empty queue cancels
  std::deque<std::optional<Credentials>> logins;  // credentials(); an empty queue cancels
  std::vector<RecordedPrompt> log;

  void message(const QString& text, const QString& title, PromptIcon icon) override;
  bool question(const QString& text, const QString& title) override;
  QString saveFileName(const QString& filter, const QString& startDir) override;
  QString openFileName(const QString& filter, const QString& startDir) override;
  QString folder(const QString& caption, const QString& startFolder) override;
  QString captcha(const QImage& picture, const QString& caption) override;
  bool confirm(const QString& text, const QString& title) override;
  std::optional<QString> textInput(const QString& text, const QString& value, const QString& title) override;
  std::optional<Credentials> credentials(const QString& text, const QString& title) override;

  // Texts of the message boxes shown so far, in order.
  QStringList messages() const;
  QString lastMessage() const;
};

}  // namespace qm
