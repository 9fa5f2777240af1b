#include "app/features.h"

#include "browser/navigation/login_keeper.h"
#include "browser/navigation/navigation.h"
#include "server/export/in_school_export.h"

namespace qm {

void installFeatures(TForm1& form) {
  // The controllers are owned by the window. The keeper comes first: it hands
  // the window the keep-alive timer that features pause.
  new LoginKeeper(form);
  new Navigation(form);
  installInSchoolExport(form);
}

}  // namespace qm
