// Tool windows reach assistive technology as windows, dialogs as dialogs,
// and what lives inside a window keeps its own role.
#include <QAccessible>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

#include "common/ui/window_roles.h"

namespace qm {
namespace {

// A tool window as the program makes them: a QWidget subclass shown on its own.
class ToolWindow : public QWidget {};

QAccessible::Role roleOf(QWidget* w) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
  return iface ? iface->role() : QAccessible::NoRole;
}

TEST(WindowRolesTest, TopLevelToolWindowsAreWindows) {
  installWindowRoles();
  installWindowRoles();  // once is enough; twice does no harm
  ToolWindow tool;
  QWidget bare;
  QDialog dialog;
  QMainWindow main;
  auto* inside = new QWidget(&tool);
  auto* button = new QPushButton(QStringLiteral("确定"), &tool);
  auto* label = new QLabel(QStringLiteral("结果"), &tool);
  struct Case {
    const char* what;
    QWidget* widget;
    QAccessible::Role role;
  };
  const Case cases[] = {
      {"tool window", &tool, QAccessible::Window},
      {"bare top-level widget", &bare, QAccessible::Window},
      {"dialog", &dialog, QAccessible::Dialog},
      {"main window", &main, QAccessible::Window},
      {"widget inside a window", inside, QAccessible::Client},
      {"button", button, QAccessible::Button},
      {"label", label, QAccessible::StaticText},
  };
  for (const Case& c : cases) EXPECT_EQ(roleOf(c.widget), c.role) << c.what;
}

}  // namespace
}  // namespace qm
