#include "app/main_window.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLayout>
#include <QMenuBar>

#include "app/login_name.h"
#include "app/process_state.h"
#include "app/settings.h"
#include "app/twips.h"
#include "app/version_caption.h"
#include "app/whole_number.h"
#include "formats/last_session.h"
#include "image/picture_area.h"
#include "operations/entry_commands.h"
#include "palette/palette_document.h"
#include "palette/palette_window.h"

static void InitTavloResources() {
  Q_INIT_RESOURCE(resources);
}

namespace tavlo {
namespace {

QIcon ProgramIcon() {
  QIcon icon;
  icon.addFile(QStringLiteral(":/tavlo_32.png"), QSize(32, 32));
  icon.addFile(QStringLiteral(":/tavlo_16.png"), QSize(16, 16));
  return icon;
}

int ReadPosition(const keys::Key& key) {
  return WholeNumber16Or(ReadKey(key, "0"), 0);
}

}  // namespace

MainWindow::MainWindow(const QString& settingsPath, const QString& stateDirectory)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint) {
  InitTavloResources();
  setObjectName(QStringLiteral("frmMain"));
  setWindowIcon(ProgramIcon());
  Process().settingsPath = settingsPath;
  Process().stateDirectory = stateDirectory;
  document_ = new PaletteDocument(this);

  picture_ = new PictureArea(this);
  picture_->SetPicture(QImage(QStringLiteral(":/start_picture.png")));
  setCentralWidget(picture_);
  ConnectPictureArea();
  BuildMenus();
  connect(document_, &PaletteDocument::HistoryChanged, this, &MainWindow::UpdateEditMenu);
  UpdateEditMenu();
}

MainWindow::~MainWindow() = default;

void MainWindow::Start() {
  Process().zoomFactor = 5;
  Process().recentMax = WholeNumber16Or(
      ReadKey(keys::kRecentMax, QString::number(keys::kDefaultRecentMax)), keys::kDefaultRecentMax);
  WriteKey(keys::kRecentMax, QString::number(Process().recentMax));
  RestoreWindowPositions();
  GetRecentFiles();
  show();
  ResizeForm();
  palette_->show();
  setWindowTitle(VersionCaption());
}

void MainWindow::RestoreWindowPositions() {
  const int top = PixelsFromTwips(ReadPosition(keys::kMainTop));
  move(PixelsFromTwips(ReadPosition(keys::kMainLeft)), top);
  // The first touch of the palette window creates it.
  if (!palette_) CreatePaletteWindow();
  const int paletteTop = PixelsFromTwips(ReadPosition(keys::kPaletteTop));
  palette_->move(PixelsFromTwips(ReadPosition(keys::kPaletteLeft)), paletteTop);
  RestoreResultPosition();
}

void MainWindow::CreatePaletteWindow() {
  palette_ = new PaletteWindow(this, *document_);
  connect(palette_, &PaletteWindow::ClearRequested, this,
          [this](int index) { ClearEntry(*document_, index); });
  connect(palette_, &PaletteWindow::EditRequested, this,
          [this](int index) { EditEntry(palette_, *document_, index); });
  connect(palette_, &PaletteWindow::SwapRequested, this,
          [this](int source, int target) { SwapEntries(*document_, source, target); });
  CreateResultWindow();
}

void MainWindow::ResizeForm() {
  picture_->ResetPreview();
  const QSize client = picture_->OuterSize();
  // The menu bar may wrap onto several lines for a narrow picture; it takes what it needs above
  // the client area.
  QMenuBar* bar = menuBar();
  const int barHeight = bar->isNativeMenuBar() ? 0 : bar->heightForWidth(client.width());
  setFixedSize(client.width(), client.height() + std::max(barHeight, 0));
  layout()->activate();
  // Measure what the layout really gave the picture and correct by the difference.
  const QSize missing = client - centralWidget()->size();
  if (!missing.isNull()) {
    setFixedSize(size() + missing);
    layout()->activate();
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!shutDown_) {
    shutDown_ = true;
    // The palette first: nothing that could fail later may cost the user's work. A session that
    // never changed the palette leaves the one before it in place.
    if (document_->Revision() > 0) SaveLastSession(document_->Colors());
    WriteKey(keys::kMainTop, QString::number(TwipsFromPixels(y())));
    WriteKey(keys::kMainLeft, QString::number(TwipsFromPixels(x())));
    WriteKey(keys::kUser, GetLoginName());
    StoreResultPosition();
    if (palette_) palette_->TearDown();
  }
  event->accept();
}

}  // namespace tavlo
