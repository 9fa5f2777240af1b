#include "app/features.h"

#include "browser/login_keeper.h"
#include "browser/navigation.h"
#include "server/in_school_export.h"

namespace qm {

void installFeatures(TForm1& form) {
  // The feature controllers are created here, owned by the window, as they are added.
  // The keeper comes first: its Timer1 is handed to the export (keeper->timer1()).
  auto* keeper = new LoginKeeper(form);
  new Navigation(form);
  installInSchoolExport(form, keeper->timer1());
  (void)keeper;
}

}  // namespace qm
