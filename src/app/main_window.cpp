#include "app/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>

#include "app/window_frames.h"
#include "commands/entry_commands.h"
#include "commands/last_session.h"
#include "palette_model/palette_document.h"
#include "palette_window/palette_window.h"
#include "picture_view/picture_area.h"
#include "store/login_name.h"
#include "store/process_state.h"
#include "store/settings.h"
#include "store/twips.h"
#include "store/version_caption.h"
#include "store/whole_number.h"
#include "store/window_geometry.h"

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
  connect(document_, &PaletteDocument::EntriesChanged, this, &MainWindow::FollowWithPreview);
  connect(document_, &PaletteDocument::ResultSettingsChanged, this, &MainWindow::FollowWithPreview);
  UpdateEditMenu();
}

MainWindow::~MainWindow() = default;

void MainWindow::Start() {
  Process().zoomFactor = 5;
  Process().recentMax = WholeNumber16Or(
      ReadKey(keys::kRecentMax, QString::number(keys::kDefaultRecentMax)), keys::kDefaultRecentMax);
  WriteKey(keys::kRecentMax, QString::number(Process().recentMax));
  // Read before anything is written: a position the palette window had when the program last
  // ended, or none on a first start.
  const bool palettePositionStored = KeyExists(keys::kPaletteTop) || KeyExists(keys::kPaletteLeft);
  RestoreWindowPositions();
  GetRecentFiles();
  // Sized before it is shown: a window resized while it is being shown is placed by its inside,
  // not by its frame as a stored position means, and would creep by its frame on every start.
  adjustSize();
  KeepOnScreen(*this);
  show();
  WaitUntilExposed(*this);
  ResizeForm();
  if (!palettePositionStored) PlacePaletteBesideMain();
  KeepOnScreen(*palette_);
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

QRect MainWindow::AvailableArea() const {
  const QScreen* screen = QGuiApplication::screenAt(frameGeometry().center());
  if (!screen) screen = QGuiApplication::screenAt(pos());
  if (!screen) screen = this->screen();
  return screen ? screen->availableGeometry() : QRect();
}

QSize MainWindow::FramedSize(const QWidget& toolWindow) const {
  // A window's frame is known once it has been shown. Before that the main window's is the best
  // guess, though a tool window's may be thicker at the bottom.
  const QMargins own = FrameMargins(toolWindow);
  return toolWindow.size().grownBy(own.isNull() ? FrameMargins(*this) : own);
}

QRect MainWindow::ScreenAreaOf(const QWidget& window) const {
  const QRect frame(window.pos(), FramedSize(window));
  const QScreen* screen = QGuiApplication::screenAt(frame.center());
  if (!screen) screen = QGuiApplication::screenAt(window.pos());
  return screen ? screen->availableGeometry() : AvailableArea();
}

void MainWindow::KeepOnScreen(QWidget& window) const {
  const QRect available = ScreenAreaOf(window);
  if (!available.isEmpty()) window.move(KeepWithin(available, {window.pos(), FramedSize(window)}));
}

void MainWindow::FitOnScreen(QWidget& window) const {
  const QRect available = ScreenAreaOf(window);
  if (available.isEmpty()) return;
  const QSize frame = FramedSize(window) - window.size();
  window.resize(window.size().boundedTo(available.size() - frame));
}

void MainWindow::PlacePaletteBesideMain() {
  palette_->move(PlaceBeside(AvailableArea(), {frameGeometry()}, FramedSize(*palette_)));
}

int MainWindow::MenuBarHeight(int width) const {
  const QMenuBar* bar = menuBar();
  return bar->isNativeMenuBar() ? 0 : std::max(bar->heightForWidth(width), 0);
}

int MainWindow::MenuBarWidth() const {
  const QMenuBar* bar = menuBar();
  return bar->isNativeMenuBar() ? 0 : bar->sizeHint().width();
}

QSize MainWindow::PictureAreaSize() const {
  // A picture narrower than the menu bar sits at the left of an area as wide as the menu bar, so
  // that every menu title shows and every menu opens under its title.
  QSize natural = picture_->OuterSize();
  natural.setWidth(std::max(natural.width(), MenuBarWidth()));
  const QRect available = AvailableArea();
  if (available.isEmpty()) return natural;
  const QMargins frame = FrameMargins(*this);
  const int roomWidth = available.width() - frame.left() - frame.right();
  // The menu bar wraps onto more lines the narrower the window: this is the most it takes.
  const int menuBar = MenuBarHeight(std::min(natural.width(), roomWidth));
  const QSize room(roomWidth, available.height() - frame.top() - frame.bottom() - menuBar);
  return FitScrolledArea(natural, room, picture_->ScrollBarRoom());
}

void MainWindow::ResizeForm() {
  picture_->ResetPreview();
  const QSize client = PictureAreaSize();
  picture_->FitInto(client);
  // The menu bar may wrap onto several lines for a narrow picture; it takes what it needs above
  // the client area.
  setFixedSize(client.width(), client.height() + MenuBarHeight(client.width()));
  layout()->activate();
  // Measure what the layout really gave the picture and correct by the difference.
  const QSize missing = client - centralWidget()->size();
  if (!missing.isNull()) {
    setFixedSize(size() + missing);
    layout()->activate();
  }
  // A window as large as its screen allows is moved wholly onto it; one that fits stays where
  // it is.
  if (client.height() < picture_->OuterSize().height() ||
      client.width() < picture_->OuterSize().width())
    move(KeepWithin(AvailableArea(), frameGeometry()));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!shutDown_) {
    shutDown_ = true;
    // The palette first: nothing that could fail later may cost the user's work. A session that
    // never changed the palette leaves the one before it in place.
    if (document_->Revision() > 0)
      SaveLastSession(document_->Colors(), document_->TransparentEntry());
    WriteKey(keys::kMainTop, QString::number(TwipsFromPixels(y())));
    WriteKey(keys::kMainLeft, QString::number(TwipsFromPixels(x())));
    WriteKey(keys::kUser, GetLoginName());
    StoreResultPosition();
    if (palette_) palette_->TearDown();
  }
  event->accept();
}

}  // namespace tavlo
