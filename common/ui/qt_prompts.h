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
  void pageAlert(const QString& text, bool offerBlock, bool& blocked) override;
  bool pageConfirm(const QString& text, bool offerBlock, bool& blocked) override;
  std::optional<QString> pagePrompt(const QString& text, const QString& value, bool offerBlock,
                                    bool& blocked) override;

 private:
  std::optional<QString> askText(const QString& text, const QString& value, const QString& title, bool* blocked);

  QPointer<QWidget> parent_;
};

}  // namespace qm
