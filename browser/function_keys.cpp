#include "browser/function_keys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace qm {

FunctionKeyFilter::FunctionKeyFilter(QWidget* window) : QObject(window), window_(window) {
  qApp->installEventFilter(this);
}

QAction* FunctionKeyFilter::boundAction(const QWidget& window, const QKeyEvent& key) {
  if (key.key() == 0 || key.key() == Qt::Key_unknown) return nullptr;
  const QKeySequence pressed(QKeyCombination(key.modifiers() & ~Qt::KeypadModifier, Qt::Key(key.key())));
  for (QAction* action : window.actions())
    if (action->shortcuts().contains(pressed)) return action;
  return nullptr;
}

bool FunctionKeyFilter::insideWindow(QObject* receiver) const {
  // A dialog or a menu up over the window keeps its keys (Esc, Enter, F4 of a combo box).
  if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
  return widgetFor(receiver) == window_;
}

QWidget* FunctionKeyFilter::widgetFor(QObject* receiver) const {
  if (receiver->isWidgetType()) return static_cast<QWidget*>(receiver)->window();
  // The window's handle gets the key first, also while Qt knows no active
  // window (a dialog closed and no window manager handed the focus back).
  if (receiver == window_->windowHandle()) return window_;
  // The view's Quick items: the widget they live in.
  for (QObject* o = receiver->parent(); o; o = o->parent())
    if (o->isWidgetType()) return static_cast<QWidget*>(o)->window();
  QWidget* focus = QApplication::focusWidget();
  return focus ? focus->window() : nullptr;
}

bool FunctionKeyFilter::eventFilter(QObject* receiver, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  QAction* action = boundAction(*window_, *key);
  if (!action || !insideWindow(receiver)) return false;
  if (type == QEvent::ShortcutOverride) {
    // Not overridden: the shortcut map runs the action, with its enabled state.
    event->ignore();
    return true;
  }
  // A key press after all: the shortcut map missed it (no active window
  // after a dialog, a Quick item that holds the keyboard). The page gets no
  // keydown for a bound key, also not for a disabled one.
  if (action->isEnabled() && (!key->isAutoRepeat() || action->autoRepeat())) action->trigger();
  return true;
}

}  // namespace qm
