#pragma once
// A client's transfer progress shown in a status panel of the main window:
// cleared at the start, the progress text while bytes move, the done text at
// the end. Safe when the window goes before the client.
#include "server/http_client.h"

namespace qm {

class TForm1;

TransferCallbacks panelProgress(TForm1& form, int panel);

}  // namespace qm
