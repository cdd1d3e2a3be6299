#include "window/CTessikView.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include "settings/HexText.h"
#include "settings/UnsavedSettings.h"
#include "window/CSplashWindow.h"
#include "window/CommandList.h"
#include "window/JobRunner.h"
#include "window/QtText.h"
#include "window/QtUserInterface.h"
#include "window/ToolBundle.h"
#include "window/WindowPlacement.h"
#include "zarnik/Strings.h"

namespace shell {
namespace {

constexpr std::int32_t kNoPort = 255;
// The port library interface this program is written against.
constexpr std::int32_t kPortLibraryVersion = 6;

// Output index (0 "LPT1:", 1 "USB") to port kind (1 parallel port, 3 USB) and back.
std::int32_t PortKindOfOutput(std::int32_t output) {
  switch (output) {
    case 0:
      return 1;
    case 1:
      return 3;
    default:
      return kNoPort;
  }
}

std::int32_t OutputOfPortKind(std::int32_t portKind) {
  switch (portKind) {
    case 1:
      return 0;
    case 3:
      return 1;
    default:
      return kNoPort;
  }
}

QString TwoHexDigits(std::uint8_t value) {
  return QString::asprintf("%02X", static_cast<unsigned>(value));
}

// A combo box's index into a member; a box without a selection leaves the member as it is,
// so an index the box cannot show survives a round trip.
void ReadComboIndex(const QComboBox& combo, std::int32_t& member) {
  if (combo.currentIndex() >= 0) {
    member = combo.currentIndex();
  }
}

void ShowComboIndex(QComboBox& combo, std::int32_t member) {
  combo.setCurrentIndex(member >= 0 && member < combo.count() ? member : -1);
}

}  // namespace

CTessikView::CTessikView(const std::filesystem::path& settingsFile, WindowHooks hooks,
                         bool showSplash, QWidget* parent)
    : QWidget(parent),
      settings_(settingsFile),
      hooks_(std::move(hooks)),
      showSplash_(showSplash),
      commandList_(new QListWidget(this)),
      selectButton_(new QPushButton(ToQString(zarnik::text::kSelect), this)),
      outputCombo_(new QComboBox(this)),
      initPortButton_(new QPushButton(ToQString(zarnik::text::kInitPort), this)),
      commandNumberEdit_(new QLineEdit(this)),
      exitButton_(new QPushButton(ToQString(zarnik::text::kExit), this)),
      modeCombo_(new QComboBox(this)) {
  commandList_->setObjectName("commandList");
  commandList_->setSelectionMode(QAbstractItemView::SingleSelection);
  commandList_->setMinimumSize(230, 120);
  selectButton_->setDefault(true);
  outputCombo_->setObjectName("output");
  outputCombo_->addItems(
      {ToQString(zarnik::text::kOutputLpt1), ToQString(zarnik::text::kOutputUsb)});
  commandNumberEdit_->setObjectName("commandNumber");
  commandNumberEdit_->setMaxLength(2);
  commandNumberEdit_->setAlignment(Qt::AlignCenter);
  commandNumberEdit_->setFixedWidth(40);
  commandNumberEdit_->installEventFilter(this);
  modeCombo_->setObjectName("mode");
  modeCombo_->addItems({ToQString(zarnik::text::kModeStandard),
                        ToQString(zarnik::text::kModeParallelFifo),
                        ToQString(zarnik::text::kModeEcpFifo)});
  modeCombo_->hide();

  auto* outputLabel = new QLabel(ToQString(zarnik::text::kOutputLabel), this);
  outputLabel->setBuddy(outputCombo_);
  auto* numberLabel = new QLabel(ToQString(zarnik::text::kCommandNumberLabel), this);
  numberLabel->setBuddy(commandNumberEdit_);

  auto* layout = new QGridLayout(this);
  layout->addWidget(commandList_, 0, 0, 5, 1);
  layout->addWidget(selectButton_, 0, 1, 1, 2);
  layout->addWidget(outputLabel, 1, 1);
  layout->addWidget(outputCombo_, 1, 2);
  layout->addWidget(initPortButton_, 2, 1, 1, 2);
  layout->addWidget(numberLabel, 3, 1);
  layout->addWidget(commandNumberEdit_, 3, 2, Qt::AlignLeft);
  layout->addWidget(exitButton_, 4, 1, 1, 2);

  connect(selectButton_, &QPushButton::clicked, this, &CTessikView::OnSelect);
  connect(commandList_, &QListWidget::itemDoubleClicked, this, &CTessikView::OnSelect);
  connect(exitButton_, &QPushButton::clicked, this, [this] { window()->close(); });
  connect(initPortButton_, &QPushButton::clicked, this, [this] {
    if (!JobRunning()) {
      RunJob(hooks_.initLptPort);
    }
  });
  // Return anywhere in the panel presses the default button.
  for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* shortcut = new QShortcut(QKeySequence(key), this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, &CTessikView::OnSelect);
  }
}

void CTessikView::OnInitialUpdate() {
  FillCommandList();
  // Settings that cannot be read are not replaced by defaults: the program says why and ends
  // without writing into that file.
  if (const auto unreadable = settings_.Load()) {
    EndAfterMessage(settings::DescribeUnreadableSettings(*unreadable));
    return;
  }
  settingsRead_ = true;
  PlaceMainWindow();
  LoadSettings();
  UpdateData(false);
  if (showSplash_) {
    CSplashWindow::ShowSplashScreen(this);
  }
  OnCommandNumberUpdate();
  ecpNegotiated_ = 0;
  TellUnsavedSettings();
  CheckPortLibraryVersion();
}

void CTessikView::FillCommandList() {
  for (const auto id : kCommandList) {
    commandList_->addItem(ToQString(zarnik::LoadString(id)));
  }
  commandIndex_ = 0;
  commandList_->setCurrentRow(0);
}

void CTessikView::PlaceMainWindow() {
  const Position stored{settings_.ReadInt(channel::kSystemSection, "XPos", 0),
                        settings_.ReadInt(channel::kSystemSection, "YPos", 0)};
  const QRect desktop = QGuiApplication::primaryScreen()->geometry();
  const Position placed =
      PlaceOnDesktop(stored, desktop.x() + desktop.width(), desktop.y() + desktop.height());
  window()->move(placed.x, placed.y);
  window()->update();
}

void CTessikView::LoadSettings() {
  panel_ = channel::LoadSystemSettings(settings_, channel::ProcessPortSettings());
}

void CTessikView::SaveSettings() {
  channel::SaveToolStartSettings(settings_, panel_, channel::ProcessPortSettings());
}

void CTessikView::SaveWindowPosition() {
  if (!settingsRead_) {
    return;
  }
  const QPoint topLeft = window()->frameGeometry().topLeft();
  settings_.WriteInt(channel::kSystemSection, "XPos", topLeft.x());
  settings_.WriteInt(channel::kSystemSection, "YPos", topLeft.y());
}

void CTessikView::UpdateData(bool saveAndValidate) {
  if (saveAndValidate) {
    commandIndex_ = commandList_->selectedItems().isEmpty() ? -1 : commandList_->currentRow();
    ReadComboIndex(*modeCombo_, panel_.mode);
    commandNumberText_ = commandNumberEdit_->text().left(2);
    ReadComboIndex(*outputCombo_, panel_.output);
    return;
  }
  if (commandIndex_ >= 0 && commandIndex_ < commandList_->count()) {
    commandList_->setCurrentRow(commandIndex_);
  } else {
    commandList_->clearSelection();
  }
  ShowComboIndex(*modeCombo_, panel_.mode);
  commandNumberEdit_->setText(commandNumberText_);
  ShowComboIndex(*outputCombo_, panel_.output);
}

void CTessikView::OnSelect() {
  // One tool at a time: a printer job holds the port library until it ends.
  if (JobRunning() || inSelect_) {
    return;
  }
  // A number typed and confirmed with Return has not left the edit yet; it counts as left.
  OnCommandNumberUpdate();
  inSelect_ = true;
  UpdateData(true);
  SaveSettings();
  TellUnsavedSettings();
  const int position = commandIndex_ + 1;  // 0: nothing selected
  panel_.output = PortKindOfOutput(panel_.output);
  if (position > 0) {
    ToolBundle bundle;
    bundle.settingsFile = settings_.Path();
    bundle.portKind = panel_.output;
    bundle.transferMode = panel_.mode;
    bundle.outputFile = panel_.outputFile;
    bundle.commandNumber = &commandNumber_;
    bundle.timeOut = panel_.timeOut;
    bundle.enableLog = panel_.enableLog;
    bundle.logFile = panel_.logFile;
    bundle.ecpNegotiated = &ecpNegotiated_;
    hooks_.runTool(position, bundle, hooks_.runModal, this);
    TellUnsavedSettings();  // the tool saved its own section
  }
  panel_.output = OutputOfPortKind(panel_.output);
  commandNumberText_ = TwoHexDigits(commandNumber_);
  UpdateData(false);
  inSelect_ = false;
}

void CTessikView::OnCommandNumberUpdate() {
  UpdateData(true);
  commandNumber_ =
      static_cast<std::uint8_t>(settings::ParseHex4(ToUtf8(commandNumberText_)) & 0xFFU);
  commandNumberText_ = TwoHexDigits(commandNumber_);
  UpdateData(false);
}

bool CTessikView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == commandNumberEdit_ && event->type() == QEvent::FocusOut && !inSelect_) {
    OnCommandNumberUpdate();
  }
  return QWidget::eventFilter(watched, event);
}

void CTessikView::CheckPortLibraryVersion() {
  if (hooks_.portLibraryVersion() == kPortLibraryVersion) {
    return;
  }
  EndAfterMessage(zarnik::text::kVersionIncorrect);
}

void CTessikView::EndAfterMessage(std::string_view text) {
  ShowMessageBox(this, hooks_.runModal, text, zarnik::text::kProgramName,
                 flashtools::MessageIcon::kExclamation);
  // The program ends once the box is gone and start-up is over, with a failure status.
  endedOnFailure_ = true;
  QMetaObject::invokeMethod(window(), "close", Qt::QueuedConnection);
}

void CTessikView::TellUnsavedSettings() {
  if (const auto failure = settings::TakeUntoldUnsavedSettings()) {
    ShowMessageBox(this, hooks_.runModal, settings::DescribeUnsavedSettings(*failure),
                   zarnik::text::kProgramName, flashtools::MessageIcon::kExclamation);
  }
}

}  // namespace shell
