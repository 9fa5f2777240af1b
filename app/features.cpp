#include "app/features.h"

#include "browser/login_keeper.h"
#include "browser/navigation.h"

namespace qm {

void installFeatures(TForm1& form) {
  // The feature controllers are created here, owned by the window, as they are added.
  // The keeper comes first: its Timer1 is handed to the export (keeper->timer1()).
  auto* keeper = new LoginKeeper(form);
  new Navigation(form);
  (void)keeper;
}

}  // namespace qm
