#include "app/features.h"

#include "app/companions/companions_controller.h"
#include "app/settings/settings_controller.h"
#include "app/update/about_controller.h"
#include "browser/navigation/login_keeper.h"
#include "browser/navigation/navigation.h"
#include "checks/compare/comparison_controller.h"
#include "checks/id/id_controller.h"
#include "checks/records/record_checker_controller.h"
#include "photo/batch/batch_photo_controller.h"
#include "photo/compress/compress_controller.h"
#include "photo/webcam/webcam_controller.h"
#include "server/duplicate/duplicate_controller.h"
#include "server/export/in_school_export.h"
#include "server/scrape/page_scrapes.h"

namespace qm {

void installFeatures(TForm1& form) {
  // The controllers are owned by the window. The keeper comes first: it hands
  // the window the keep-alive timer that features pause.
  new LoginKeeper(form);
  new Navigation(form);
  installInSchoolExport(form);
  new CompanionsController(form);
  new SettingsController(form);
  new IdCheckController(form);  // TForm2 is made at start-up, before TForm3
  new AboutController(form);
  installPageScrapes(form);
  new ComparisonController(form);
  new RecordCheckerController(form);
  new DuplicateController(form);
  new WebcamController(form);
  new BatchPhotoController(form);
  new CompressController(form);
}

}  // namespace qm
