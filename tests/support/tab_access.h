#pragma once
// The view and the document of a window's tab by slot, for window tests:
// nullptr / a null document for a free slot.
#include <QWebEngineView>

#include "browser/main_window.h"
#include "browser/web/web_tab.h"

namespace qm {

inline QWebEngineView* viewOf(WebTab* tab) { return tab ? tab->view() : nullptr; }
inline QWebEngineView* tabView(const TForm1& form, int slot) { return viewOf(form.tab(slot)); }
inline WebDocument tabDocument(const TForm1& form, int slot) {
  WebTab* tab = form.tab(slot);
  return tab ? tab->document() : WebDocument();
}

}  // namespace qm
