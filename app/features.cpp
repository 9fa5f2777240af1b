#include "app/features.h"

#include "browser/login_keeper.h"
#include "browser/navigation.h"
#include "server/in_school_export.h"

namespace qm {

void installFeatures(TForm1& form) {
  // The controllers are owned by the window. The keeper comes first: the export
  // stops and restarts its Timer1.
  auto* keeper = new LoginKeeper(form);
  new Navigation(form);
  installInSchoolExport(form, keeper->timer1());
}

}  // namespace qm
