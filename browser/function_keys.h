#pragma once
// The window's function keys act wherever the keyboard is inside the window,
// as a browser's own keys do: the web view's focus proxy and its Quick items
// would otherwise take a key (an accepted ShortcutOverride skips the
// shortcut map) and hand it to the page as a keydown.
#include <QObject>

class QAction;
class QKeyEvent;
class QWidget;

namespace qm {

class FunctionKeyFilter : public QObject {
 public:
  // Watches the whole application for keys bound to window's actions.
  explicit FunctionKeyFilter(QWidget* window);

  // The action of window bound to the key, nullptr when none is.
  static QAction* boundAction(const QWidget& window, const QKeyEvent& key);

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override;

 private:
  bool insideWindow(QObject* receiver) const;
  // The top-level widget a key's receiver belongs to, nullptr when none.
  QWidget* widgetFor(QObject* receiver) const;

  QWidget* window_;
};

}  // namespace qm
