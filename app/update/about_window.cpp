#include "app/update/about_window.h"

#include <QDesktopServices>
#include <QProgressBar>
#include <QStatusBar>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStringList>
#include <QUrl>
#include <QVBoxLayout>
#include <unistd.h>

#include "app/update/about_logo.h"
#include "app/update/net_downloader.h"
#include "app/update/program_path.h"
#include "app/update/update_signature.h"
#include "app/update/update_source.h"
#include "app/update/version_record.h"
#include "common/app_state.h"
#include "common/ui/prompts.h"
#include "common/ui/qt_text.h"

namespace qm {
namespace {

bool startDetached(const ScriptCommand& command) {
  QStringList arguments;
  for (const std::string& a : command.arguments) arguments << q(a);
  return QProcess::startDetached(q(command.program), arguments);
}

}  // namespace

TForm3::TForm3(AppState& state, Prompts& prompts, QWidget* parent)
    : QDialog(parent),
      TransferDialogView(this, prompts),
      state_(state),
      IdHTTP1(std::make_unique<NetDownloader>()) {
  setObjectName("TForm3");
  IdHTTP1->setObjectName("IdHTTP1");
  setWindowTitle(QString::fromUtf8(kAboutCaption));
  programPath = runningProgramPath();
  scriptStarter = startDetached;
  openLink = [](const QString& address) { QDesktopServices::openUrl(QUrl(address)); };
  buildControls();
  FormCreate();
}

TForm3::~TForm3() {
  // The check goes first: it cancels its download on the downloader.
  check_.reset();
}

void TForm3::buildControls() {
  auto* outer = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setPixmap(aboutLogo(85, 84));
  Image1->setFixedSize(85, 84);
  top->addWidget(Image1, 0, Qt::AlignTop);
  auto* texts = new QVBoxLayout;
  for (QLabel** label : {&Label2, &Label3, &Label4}) {
    *label = new QLabel(this);
    texts->addWidget(*label);
  }
  Label2->setObjectName("Label2");
  Label3->setObjectName("Label3");
  Label4->setObjectName("Label4");
  top->addLayout(texts, 1);
  outer->addLayout(top);

  Label5 = new QLabel(QString::fromUtf8(kAboutNotice), this);
  Label5->setObjectName("Label5");
  Label5->setWordWrap(true);
  Label5->setFixedWidth(360);
  outer->addWidget(Label5);
  Label6 = makeSiteLink(this, [this] { Label6Click(); });
  outer->addWidget(Label6);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Button1 = new QPushButton(QString::fromUtf8(kAboutUpdateButton), this);
  Button1->setObjectName("Button1");
  Button1->setDefault(true);
  Button3 = new QPushButton(QString::fromUtf8(kAboutQuitButton), this);
  Button3->setObjectName("Button3");
  buttons->addWidget(Button1);
  buttons->addWidget(Button3);
  outer->addLayout(buttons);
  outer->addWidget(transfer_.ProgressBar1);
  outer->addWidget(transfer_.StatusBar1);

  connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
  connect(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
  fixAndCentre(this);
}

void TForm3::FormCreate() {
  const AboutLabels labels = aboutLabels(programVersionRecord());
  Label2->setText(q(labels.description));
  Label3->setText(q(labels.version));
  Label4->setText(q(labels.copyright));
}

bool TForm3::checkRunning() const { return check_ && check_->running(); }

void TForm3::Button1Click() {
  if (checkRunning()) return;
  // Read at each check: the address in the settings file may have changed.
  UpdateSetup setup{programPath, updateBaseUrl(state_.settingsPath), programVersionRecord().fileVersion,
                    static_cast<long long>(::getpid()), updatePublicKey(state_.settingsPath)};
  check_ = std::make_unique<UpdateCheck>(std::move(setup), *IdHTTP1, *this, state_.autoUpdateCheck);
  check_->start();
}

void TForm3::Button3Click() { reject(); }

void TForm3::reject() {
  if (checkRunning()) check_->cancel();
  QDialog::reject();
}

void TForm3::Label6Click() {
  if (openLink) openLink(QString::fromUtf8(kPublisherSiteUrl));
  QDialog::reject();
}

bool TForm3::ask(const Notice& question) { return askNotice(prompts_, question); }

void TForm3::reveal() {
  QDialog::show();
  raise();
  activateWindow();
}

bool TForm3::startScript(const ScriptCommand& command) { return scriptStarter && scriptStarter(command); }

void TForm3::requestMainWindowClose() {
  if (closeMainWindow) closeMainWindow();
}

}  // namespace qm
