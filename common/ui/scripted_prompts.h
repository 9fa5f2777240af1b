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
  QString value;  // a text input's starting value, a save dialog's start, a folder choice's start folder
  bool offeredBlock = false;  // a page's dialog offered kBlockPageDialogsText
};

class ScriptedPrompts : public Prompts {
 public:
  std::deque<bool> answers;       // questions; an empty queue answers No
  std::deque<QString> fileNames;  // save/open/folder; an empty queue cancels
  std::deque<QString> captchas;   // an empty queue cancels
  std::deque<bool> confirmations;  // confirm(); an empty queue answers Cancel
  std::deque<std::optional<QString>> texts;      // textInput(); an empty queue cancels
  std::deque<std::optional<Credentials>> logins;  // credentials(); an empty queue cancels
  std::deque<bool> blockTicks;  // a page's dialog that offers the block option; an empty queue leaves it off
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
  void pageAlert(const QString& text, bool offerBlock, bool& blocked) override;
  bool pageConfirm(const QString& text, bool offerBlock, bool& blocked) override;
  std::optional<QString> pagePrompt(const QString& text, const QString& value, bool offerBlock,
                                    bool& blocked) override;

  // Texts of the message boxes shown so far, in order.
  QStringList messages() const;
  QString lastMessage() const;

 private:
  // Records that the last dialog offered the block option; the queued tick.
  bool tick(bool offerBlock);
};

}  // namespace qm
