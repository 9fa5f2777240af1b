#include "common/ui/scripted_prompts.h"

namespace qm {

namespace {
template <typename T>
T pop(std::deque<T>& q, T empty) {
  if (q.empty()) return empty;
  T v = q.front();
  q.pop_front();
  return v;
}
}  // namespace

void ScriptedPrompts::message(const QString& text, const QString& title, PromptIcon icon) {
  log.push_back({RecordedPrompt::Message, text, title, icon});
}
bool ScriptedPrompts::question(const QString& text, const QString& title) {
  log.push_back({RecordedPrompt::Question, text, title, PromptIcon::Question});
  return pop(answers, false);
}
QString ScriptedPrompts::saveFileName(const QString& filter, const QString& startDir) {
  log.push_back({RecordedPrompt::SaveFile, filter, {}, PromptIcon::None, startDir});
  return pop(fileNames, QString());
}
QString ScriptedPrompts::openFileName(const QString& filter, const QString&) {
  log.push_back({RecordedPrompt::OpenFile, filter, {}, PromptIcon::None});
  return pop(fileNames, QString());
}
QString ScriptedPrompts::folder(const QString& caption, const QString& startFolder) {
  log.push_back({RecordedPrompt::Folder, caption, {}, PromptIcon::None, startFolder});
  return pop(fileNames, QString());
}
QString ScriptedPrompts::captcha(const QImage&, const QString& caption) {
  log.push_back({RecordedPrompt::Captcha, caption, {}, PromptIcon::None});
  return pop(captchas, QString());
}
bool ScriptedPrompts::confirm(const QString& text, const QString& title) {
  log.push_back({RecordedPrompt::Confirm, text, title, PromptIcon::Question});
  return pop(confirmations, false);
}
std::optional<QString> ScriptedPrompts::textInput(const QString& text, const QString& value, const QString& title) {
  log.push_back({RecordedPrompt::TextInput, text, title, PromptIcon::None, value});
  if (texts.empty()) return std::nullopt;
  std::optional<QString> answer = std::move(texts.front());
  texts.pop_front();
  return answer;
}
std::optional<Credentials> ScriptedPrompts::credentials(const QString& text, const QString& title) {
  log.push_back({RecordedPrompt::Login, text, title, PromptIcon::None});
  if (logins.empty()) return std::nullopt;
  std::optional<Credentials> answer = std::move(logins.front());
  logins.pop_front();
  return answer;
}
void ScriptedPrompts::pageAlert(const QString& text, bool offerBlock, bool& blocked) {
  message(text, kAppTitle, PromptIcon::None);
  blocked = tick(offerBlock);
}
bool ScriptedPrompts::pageConfirm(const QString& text, bool offerBlock, bool& blocked) {
  const bool answer = confirm(text, kAppTitle);
  blocked = tick(offerBlock);
  return answer;
}
std::optional<QString> ScriptedPrompts::pagePrompt(const QString& text, const QString& value, bool offerBlock,
                                                   bool& blocked) {
  std::optional<QString> answer = textInput(text, value, kAppTitle);
  blocked = tick(offerBlock);
  return answer;
}
bool ScriptedPrompts::tick(bool offerBlock) {
  if (!offerBlock) return false;
  if (!log.empty()) log.back().offeredBlock = true;
  return pop(blockTicks, false);
}
QStringList ScriptedPrompts::messages() const {
  QStringList out;
  for (const auto& p : log)
    if (p.kind == RecordedPrompt::Message) out << p.text;
  return out;
}
QString ScriptedPrompts::lastMessage() const {
  QStringList m = messages();
  return m.isEmpty() ? QString() : m.last();
}

}  // namespace qm
