#include "common/ui/qt_prompts.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QVBoxLayout>

#include "common/ui/page_text.h"

namespace qm {

QString qtFilterFromWindows(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    out << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return out.join(QStringLiteral(";;"));
}

QString withDefaultExtension(const QString& path, const QString& ext) {
  if (path.isEmpty()) return path;
  const QString name = QFileInfo(path).fileName();
  return name.contains(QLatin1Char('.')) ? path : path + ext;
}

namespace {

QMessageBox::Icon boxIcon(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Error: return QMessageBox::Critical;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

// Texts may come from a page or a server: shown as they are, never as rich
// text with live links, and bounded.
QLabel* plainLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(boundedDialogText(text), parent);
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setWordWrap(true);
  return label;
}

// Runs a message box; blocked (when given) is the block option's tick.
QMessageBox::StandardButton runBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                                   QMessageBox::StandardButtons buttons, QMessageBox::StandardButton byDefault,
                                   bool* blocked = nullptr) {
  QMessageBox box(icon, title, boundedDialogText(text), buttons, parent);
  box.setTextFormat(Qt::PlainText);
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
  if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) label->setOpenExternalLinks(false);
  if (byDefault != QMessageBox::NoButton) box.setDefaultButton(byDefault);
  if (buttons.testFlag(QMessageBox::Cancel)) box.setEscapeButton(QMessageBox::Cancel);
  else if (buttons.testFlag(QMessageBox::No)) box.setEscapeButton(QMessageBox::No);
  if (blocked) box.setCheckBox(new QCheckBox(kBlockPageDialogsText, &box));
  const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
  if (blocked) *blocked = box.checkBox()->isChecked();
  return answer;
}

QDialogButtonBox* okCancel(QDialog& dlg) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
  return buttons;
}

}  // namespace

void QtPrompts::message(const QString& text, const QString& title, PromptIcon icon) {
  runBox(parent_, boxIcon(icon), title, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtPrompts::question(const QString& text, const QString& title) {
  return runBox(parent_, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
         QMessageBox::Yes;
}

QString QtPrompts::saveFileName(const QString& filter, const QString& startDir) {
  // The caller asks its own overwrite question.
  return QFileDialog::getSaveFileName(parent_, QString(), startDir, qtFilterFromWindows(filter), nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

QString QtPrompts::openFileName(const QString& filter, const QString& startDir) {
  return QFileDialog::getOpenFileName(parent_, QString(), startDir, qtFilterFromWindows(filter));
}

QString QtPrompts::folder(const QString& caption, const QString& startFolder) {
  return QFileDialog::getExistingDirectory(parent_, caption, startFolder);
}

QString QtPrompts::captcha(const QImage& picture, const QString& caption) {
  QDialog dlg(parent_);
  dlg.setWindowTitle(kAppTitle);
  auto* layout = new QVBoxLayout(&dlg);
  auto* pic = new QLabel(&dlg);
  pic->setPixmap(QPixmap::fromImage(picture));
  layout->addWidget(pic);
  layout->addWidget(plainLabel(caption, &dlg));
  auto* edit = new QLineEdit(&dlg);
  layout->addWidget(edit);
  layout->addWidget(okCancel(dlg));
  return dlg.exec() == QDialog::Accepted ? edit->text() : QString();
}

bool QtPrompts::confirm(const QString& text, const QString& title) {
  return runBox(parent_, QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                QMessageBox::Ok) == QMessageBox::Ok;
}

std::optional<QString> QtPrompts::textInput(const QString& text, const QString& value, const QString& title) {
  return askText(text, value, title, nullptr);
}

std::optional<QString> QtPrompts::askText(const QString& text, const QString& value, const QString& title,
                                          bool* blocked) {
  QDialog dlg(parent_);
  dlg.setWindowTitle(title);
  auto* layout = new QVBoxLayout(&dlg);
  layout->addWidget(plainLabel(text, &dlg));
  auto* edit = new QLineEdit(value, &dlg);
  edit->setObjectName("TextInput");
  layout->addWidget(edit);
  QCheckBox* block = nullptr;
  if (blocked) {
    block = new QCheckBox(kBlockPageDialogsText, &dlg);
    layout->addWidget(block);
  }
  layout->addWidget(okCancel(dlg));
  edit->setFocus();
  const bool ok = dlg.exec() == QDialog::Accepted;
  if (blocked) *blocked = block->isChecked();
  if (!ok) return std::nullopt;
  return edit->text();
}

void QtPrompts::pageAlert(const QString& text, bool offerBlock, bool& blocked) {
  blocked = false;
  runBox(parent_, QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok, QMessageBox::Ok,
         offerBlock ? &blocked : nullptr);
}

bool QtPrompts::pageConfirm(const QString& text, bool offerBlock, bool& blocked) {
  blocked = false;
  return runBox(parent_, QMessageBox::Question, kAppTitle, text, QMessageBox::Ok | QMessageBox::Cancel,
                QMessageBox::Ok, offerBlock ? &blocked : nullptr) == QMessageBox::Ok;
}

std::optional<QString> QtPrompts::pagePrompt(const QString& text, const QString& value, bool offerBlock,
                                             bool& blocked) {
  blocked = false;
  return askText(text, value, kAppTitle, offerBlock ? &blocked : nullptr);
}

std::optional<Credentials> QtPrompts::credentials(const QString& text, const QString& title) {
  QDialog dlg(parent_);
  dlg.setWindowTitle(title);
  auto* layout = new QVBoxLayout(&dlg);
  layout->addWidget(plainLabel(text, &dlg));
  auto* form = new QFormLayout;
  auto* user = new QLineEdit(&dlg);
  user->setObjectName("UserName");
  auto* password = new QLineEdit(&dlg);
  password->setObjectName("Password");
  password->setEchoMode(QLineEdit::Password);
  form->addRow(QStringLiteral("用户名："), user);
  form->addRow(QStringLiteral("密码："), password);
  layout->addLayout(form);
  layout->addWidget(okCancel(dlg));
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  return Credentials{user->text(), password->text()};
}

}  // namespace qm
