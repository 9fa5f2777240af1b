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
QString ScriptedPrompts::saveFileName(const QString& filter, const QString&) {
  log.push_back({RecordedPrompt::SaveFile, filter, {}, PromptIcon::None});
  return pop(fileNames, QString());
}
QString ScriptedPrompts::openFileName(const QString& filter, const QString&) {
  log.push_back({RecordedPrompt::OpenFile, filter, {}, PromptIcon::None});
  return pop(fileNames, QString());
}
QString ScriptedPrompts::folder(const QString& caption) {
  log.push_back({RecordedPrompt::Folder, caption, {}, PromptIcon::None});
  return pop(fileNames, QString());
}
QString ScriptedPrompts::captcha(const QImage&, const QString& caption) {
  log.push_back({RecordedPrompt::Captcha, caption, {}, PromptIcon::None});
  return pop(captchas, QString());
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
