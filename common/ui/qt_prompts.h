#pragma once
#include <QPointer>
#include <QWidget>

#include "common/ui/prompts.h"

namespace qm {

// Prompts shown as Qt dialogs, parented to the given window.
class QtPrompts : public Prompts {
 public:
  explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  void message(const QString& text, const QString& title, PromptIcon icon) override;
  bool question(const QString& text, const QString& title) override;
  QString saveFileName(const QString& filter, const QString& startDir) override;
  QString openFileName(const QString& filter, const QString& startDir) override;
  QString folder(const QString& caption, const QString& startFolder) override;
  QString captcha(const QImage& picture, const QString& caption) override;
  bool confirm(const QString& text, const QString& title) override;
  std::optional<QString> textInput(const QString& text, const QString& value, const QString& title) override;
  std::optional<Credentials> credentials(const QString& text, const QString& title) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace qm
