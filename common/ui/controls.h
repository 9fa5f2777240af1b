#pragma once
// Making a window's controls under their fixed objectNames, which
// the window's own code and its tests find them by.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <optional>
#include <utility>

namespace qm {

template <typename Widget, typename... Args>
Widget* makeNamed(const char* name, Args&&... args) {
  auto* widget = new Widget(std::forward<Args>(args)...);
  widget->setObjectName(QString::fromUtf8(name));
  return widget;
}

inline QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption, bool enabled = true) {
  auto* button = makeNamed<QPushButton>(name, caption, parent);
  button->setEnabled(enabled);
  return button;
}

inline QCheckBox* namedCheck(QWidget* parent, const char* name, const QString& caption, bool checked,
                             bool enabled = true) {
  auto* check = makeNamed<QCheckBox>(name, caption, parent);
  check->setChecked(checked);
  check->setEnabled(enabled);
  return check;
}

inline QLabel* namedLabel(QWidget* parent, const char* name, const QString& text) {
  return makeNamed<QLabel>(name, text, parent);
}

inline QRadioButton* namedRadio(QWidget* parent, const char* name, const QString& caption) {
  return makeNamed<QRadioButton>(name, caption, parent);
}

// A column box, empty and disabled until its workbook's sheet is open.
inline QComboBox* namedColumnBox(QWidget* parent, const char* name) {
  auto* box = makeNamed<QComboBox>(name, parent);
  box->setEnabled(false);
  return box;
}

// Fills a column box with a sheet's columns and selects `selected` (none
// without), without telling the window: its change handlers run when it asks.
void fillColumnBox(QComboBox* box, const QStringList& columns, std::optional<std::size_t> selected);
// Empties a column box quietly and disables it.
void emptyColumnBox(QComboBox* box);

}  // namespace qm
