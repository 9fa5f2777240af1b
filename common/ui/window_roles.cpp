#include "common/ui/window_roles.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDialog>
#include <QMainWindow>
#include <QWidget>

namespace qm {
namespace {

QAccessibleInterface* toolWindowRole(const QString&, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  // Dialogs and the main window have their roles already; menus and tool
  // tips are no windows to announce.
  if (!widget->isWindow() || widget->windowType() != Qt::Window) return nullptr;
  if (qobject_cast<QDialog*>(widget) || qobject_cast<QMainWindow*>(widget)) return nullptr;
  return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

void installWindowRoles() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(toolWindowRole);
}

}  // namespace qm
