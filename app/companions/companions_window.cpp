#include "app/companions/companions_window.h"

#include <QDesktopServices>
#include <QProgressBar>
#include <QStatusBar>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/companions/companion_tools.h"
#include "app/update/net_downloader.h"
#include "app/update/update_signature.h"
#include "app/update/update_source.h"
#include "app/update/version_record.h"
#include "common/app_state.h"
#include "common/ui/prompts.h"

namespace qm {

TForm11::TForm11(AppState& state, Prompts& prompts, std::string folder, QWidget* parent)
    : QDialog(parent),
      TransferDialogView(this, prompts),
      state_(state),
      folder_(std::move(folder)),
      IdHTTP1(std::make_unique<NetDownloader>()) {
  setObjectName("TForm11");
  IdHTTP1->setObjectName("IdHTTP1");
  setWindowTitle(QString::fromUtf8(kCompanionCaption));
  programStarter = [](const std::string& path) { QProcess::startDetached(QString::fromStdString(path), {}); };
  openLink = [](const QString& address) { QDesktopServices::openUrl(QUrl(address)); };
  buildControls();
  FormCreate();
}

TForm11::~TForm11() { fetch_.reset(); }

void TForm11::buildControls() {
  auto* outer = new QVBoxLayout(this);
  Label5 = new QLabel(QString::fromUtf8(kCompanionExplanation), this);
  Label5->setObjectName("Label5");
  Label5->setWordWrap(true);
  Label5->setFixedWidth(400);
  outer->addWidget(Label5);

  auto* row = new QHBoxLayout;
  Label1 = new QLabel(QString::fromUtf8(kCompanionLabel1), this);
  Label1->setObjectName("Label1");
  Label2 = new QLabel(QStringLiteral("Label2"), this);  // its design text, until a known tool names it
  Label2->setObjectName("Label2");
  QFont bold = Label2->font();
  bold.setBold(true);
  Label2->setFont(bold);
  row->addWidget(Label1);
  row->addWidget(Label2);
  row->addStretch(1);
  outer->addLayout(row);

  auto* buttons = new QHBoxLayout;
  Label3 = new QLabel(QString::fromUtf8(kCompanionLabel3), this);
  Label3->setObjectName("Label3");
  Button1 = new QPushButton(QString::fromUtf8(kCompanionFetchButton), this);
  Button1->setObjectName("Button1");
  Button1->setDefault(true);
  Button3 = new QPushButton(QString::fromUtf8(kCompanionQuitButton), this);
  Button3->setObjectName("Button3");
  buttons->addWidget(Label3);
  buttons->addWidget(Button1);
  buttons->addWidget(Button3);
  buttons->addStretch(1);
  outer->addLayout(buttons);
  Label6 = makeSiteLink(this, [this] { Label6Click(); });
  outer->addWidget(Label6);
  outer->addWidget(transfer_.ProgressBar1);
  outer->addWidget(transfer_.StatusBar1);

  connect(Button1, &QPushButton::clicked, this, &TForm11::Button1Click);
  connect(Button3, &QPushButton::clicked, this, &TForm11::Button3Click);
  fixAndCentre(this);
}

void TForm11::FormCreate() {
  if (auto name = companionDisplayName(state_.companionToolName)) Label2->setText(QString::fromStdString(*name));
}

void TForm11::Button1Click() {
  if (downloading()) return;
  if (!fetch_)
    fetch_ = std::make_unique<CompanionFetch>(folder_, updateBaseUrl(state_.settingsPath),
                                              updatePublicKey(state_.settingsPath), *IdHTTP1, *this);
  fetch_->start(state_.companionToolName);
}

void TForm11::Button3Click() { reject(); }

void TForm11::reject() {
  if (downloading()) fetch_->cancel();
  QDialog::reject();
}

void TForm11::Label6Click() {
  if (openLink) openLink(QString::fromUtf8(kPublisherSiteUrl));
  QDialog::reject();
}

void TForm11::startProgram(const std::string& path) {
  if (programStarter) programStarter(path);
}

void TForm11::closeDialog() { accept(); }

}  // namespace qm
