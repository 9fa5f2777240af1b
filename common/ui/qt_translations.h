#pragma once
// Qt's own dialogs (buttons, file dialogs, the web view's menus) in Chinese.

class QCoreApplication;

namespace qm {

// Installs Qt's zh_CN translations of qtbase, qtmultimedia and qtwebengine
// from Qt's translations folder; a missing one leaves its texts in English.
// Returns how many were loaded.
int loadQtTranslations(QCoreApplication& app);

}  // namespace qm
