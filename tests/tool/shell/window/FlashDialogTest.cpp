// The printer tools' dialogs: Write Data Flash ROM with its Status Display, and Get Version,
// on the simulated machine with the virtual printer, through the real port library.
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <deque>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "VopP2.h"
#include "flashtools/FileTools.h"
#include "settings/ProfileFile.h"
#include "simulate/Simulation.h"
#include "window/DataStreamView.h"
#include "window/GetVersionDialog.h"
#include "window/JobRunner.h"
#include "window/QtUserInterface.h"
#include "window/StatusDisplayDialog.h"
#include "window/WriteDataFlashRomDialog.h"

namespace {

using testing_support::TempFolder;
using testing_support::WriteText;

struct Message {
  QString text;
  QString caption;
  QMessageBox::Icon icon;
  QString detail;  // the informative text under it
};

class SilentUi final : public flashtools::UserInterface {
 public:
  void ShowMessage(std::string_view, std::string_view, flashtools::MessageIcon) override {}
  bool Confirm(std::string_view, std::string_view, flashtools::MessageIcon) override {
    return true;
  }
};

// Replies whose byte 23 runs through a script; every further read fails.
class ScriptedReplies final : public flashjobs::ReplySource {
 public:
  explicit ScriptedReplies(std::deque<std::uint8_t> statuses) : statuses_(std::move(statuses)) {}
  bool ReadReply(flashjobs::Reply& reply) override {
    ++reads;
    if (statuses_.empty()) {
      return false;
    }
    reply.size = 24;
    reply.bytes[23] = statuses_.front();
    statuses_.pop_front();
    return true;
  }
  int reads = 0;

 private:
  std::deque<std::uint8_t> statuses_;
};

class RecordingUi final : public flashtools::UserInterface {
 public:
  void ShowMessage(std::string_view text, std::string_view, flashtools::MessageIcon) override {
    shown.emplace_back(text);
  }
  bool Confirm(std::string_view, std::string_view, flashtools::MessageIcon) override {
    return true;
  }
  std::vector<std::string> shown;
};

class FlashDialogTest : public ::testing::Test {
 protected:
  FlashDialogTest() {
    bundle_.settingsFile = ini_;
    bundle_.portKind = 1;
    bundle_.commandNumber = &commandNumber_;
  }
  ~FlashDialogTest() override { VopP2Close(PORT_LPT); }

  // The simulated machine, with a printer profile when one is given.
  void Simulate(const std::string& profile = {}) {
    simulate::SimulationRequest request;
    if (!profile.empty()) {
      WriteText(folder_ / "printer.ini", "[Printer]\n" + profile);
      request.profile = folder_ / "printer.ini";
    }
    std::string error;
    simulation_ = simulate::Simulation::Start(request, error);
    ASSERT_TRUE(simulation_) << error;
  }

  // Message boxes are recorded and confirmed; a Status Display runs for real and its write
  // bar's positions are recorded; a file dialog's filters are recorded.
  shell::DialogRunner Runner() {
    return [this](QDialog& dialog) {
      if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        messages_.push_back({box->text(), box->windowTitle(), box->icon(), box->informativeText()});
        if (box->button(QMessageBox::Yes) != nullptr) {
          const auto answer = answers_.empty() ? QMessageBox::No : answers_.front();
          if (!answers_.empty()) {
            answers_.pop_front();
          }
          box->button(answer)->click();
        }
        return static_cast<int>(QDialog::Accepted);
      }
      if (auto* display = qobject_cast<shell::StatusDisplayDialog*>(&dialog)) {
        statusTitle_ = display->windowTitle();
        for (auto [bar, seen] : {std::pair{display->ErasingBar(), &erasingBar_},
                                 std::pair{display->WritingBar(), &writeBar_},
                                 std::pair{display->VerifyingBar(), &verifyingBar_}}) {
          QObject::connect(bar, &QProgressBar::valueChanged,
                           [seen = seen](int value) { seen->push_back(value); });
        }
        if (onStatusDisplay_) {
          onStatusDisplay_(*display);
        }
        displayResult_ = display->exec();
        finalBars_ = {display->ErasingBar()->value(), display->WritingBar()->value(),
                      display->VerifyingBar()->value()};
        return displayResult_;
      }
      if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
        filters_ = files->nameFilters();
      }
      return static_cast<int>(QDialog::Rejected);
    };
  }

  // Runs action once, when the display's erase bar first moves: the polling is under way.
  static void OnceErasing(shell::StatusDisplayDialog& display, std::function<void()> action) {
    auto ran = std::make_shared<bool>(false);
    QObject::connect(
        display.ErasingBar(), &QProgressBar::valueChanged, &display,
        [ran, action = std::move(action)](int) {
          if (!*ran) {
            *ran = true;
            action();
          }
        },
        Qt::QueuedConnection);
  }

  // The poller through the window's Status Display on the job worker, as the flash write
  // runs it.
  void RunStatusDisplay(flashjobs::StatusPoller& poller) {
    flashjobs::JobControl control;
    shell::WorkerStatusDisplay display(nullptr, Runner(), control);
    shell::RunJob([&] { display.Run(poller); });
  }

  // Write Data Flash ROM with a demo print data file of that payload size chosen, and the
  // extra settings given.
  std::unique_ptr<shell::WriteDataFlashRomDialog> DemoWriteDialog(std::size_t size,
                                                                  const std::string& more = {}) {
    WriteText(ini_, "[FlashWrite]\nFROMFile=" + DemoFile(size).string() + "\n" + more);
    auto dialog = std::make_unique<shell::WriteDataFlashRomDialog>(bundle_, Runner(), nullptr);
    dialog->DataTypeButton(2)->setChecked(true);
    return dialog;
  }

  std::filesystem::path DemoFile(std::size_t size) {
    WriteText(folder_ / "payload.bin", std::string(size, 'd'));
    SilentUi ui;
    flashtools::AddHeader(folder_ / "payload.bin", folder_ / "demo.vop", ui);
    return folder_ / "demo.vop";
  }

  TempFolder folder_;
  std::filesystem::path ini_ = folder_ / "zarnik.INI";
  settings::ProfileFile file_{ini_};
  shell::ToolBundle bundle_;
  std::uint8_t commandNumber_ = 0x42;
  std::unique_ptr<simulate::Simulation> simulation_;
  std::vector<Message> messages_;
  std::vector<int> erasingBar_;
  std::vector<int> writeBar_;
  std::vector<int> verifyingBar_;
  QString statusTitle_;
  std::function<void(shell::StatusDisplayDialog&)> onStatusDisplay_;
  std::deque<QMessageBox::StandardButton> answers_;  // for questions, in order; then No
  bool stillPolling_ = false;
  int displayResult_ = -1;
  std::vector<int> finalBars_;
  QStringList filters_;
};

TEST_F(FlashDialogTest, WriteDialogReadsItsSettingsAndWritesThemOnExecute) {
  WriteText(ini_, "[FlashWrite]\nFROMFile=/nowhere/old.vop\nFORQX44DX=2\n");
  shell::WriteDataFlashRomDialog dialog(bundle_, Runner(), nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Write Data Flash ROM");
  EXPECT_EQ(dialog.File()->Path(), "/nowhere/old.vop");
  // A stored 2 comes back as "Firmware": only the firmware types are kept apart on opening.
  EXPECT_EQ(dialog.DataType(), 1);
  EXPECT_EQ(dialog.DataTypeButton(1)->text(), "Firmware");
  EXPECT_TRUE(dialog.ExecuteButton()->isDefault());

  dialog.DataTypeButton(2)->setChecked(true);
  dialog.File()->SetPath(QString::fromStdString((folder_ / "missing.vop").string()));
  QSignalSpy finished(&dialog, &QDialog::finished);
  dialog.ExecuteButton()->click();
  EXPECT_EQ(finished.count(), 0);  // a file it cannot open leaves the dialog open
  ASSERT_EQ(messages_.size(), 1U);
  EXPECT_EQ(messages_[0].text, "Cannot open file!");
  EXPECT_EQ(messages_[0].caption, "Error");
  EXPECT_EQ(messages_[0].icon, QMessageBox::Warning);
  EXPECT_EQ(file_.ReadInt("FlashWrite", "FORQX44DX", -1), 2);
  EXPECT_EQ(file_.ReadString("FlashWrite", "FROMFile", "", 255),
            (folder_ / "missing.vop").string());
  EXPECT_EQ(file_.ReadString("StartJob", "MachineID", "unwritten", 255), "unwritten");

  WriteText(ini_, "[FlashWrite]\nFORQX44DX=0\n");
  shell::WriteDataFlashRomDialog reopened(bundle_, Runner(), nullptr);
  EXPECT_EQ(reopened.DataType(), 0);
}

TEST_F(FlashDialogTest, BrowseOffersTheFilesOfTheChosenDataType) {
  shell::WriteDataFlashRomDialog dialog(bundle_, Runner(), nullptr);
  dialog.File()->BrowseButton()->click();
  EXPECT_EQ(filters_, QStringList({"Firmware data files (*.vop)", "All files (*.*)"}));
  dialog.DataTypeButton(2)->setChecked(true);
  dialog.File()->BrowseButton()->click();
  EXPECT_EQ(filters_, QStringList({"Demo print data files (*.vop)", "All files (*.*)"}));
}

TEST_F(FlashDialogTest, StatusDisplayMovesItsBarsAndClosesWhenTheWriteIsComplete) {
  ScriptedReplies replies({0x00, 0x85, 0x5F, 0xD0, 0x01});
  RecordingUi ui;
  flashjobs::StatusPoller poller(replies, ui);
  RunStatusDisplay(poller);
  EXPECT_EQ(statusTitle_, "Status Display");
  EXPECT_EQ(displayResult_, QDialog::Accepted);
  EXPECT_EQ(replies.reads, 5);
  EXPECT_EQ(erasingBar_, (std::vector<int>{10, 100}));
  EXPECT_EQ(writeBar_, (std::vector<int>{62, 100}));
  EXPECT_EQ(verifyingBar_, (std::vector<int>{32, 100}));
  EXPECT_EQ(ui.shown, std::vector<std::string>{"Writing complete!"});
}

// While the printer works on its flash, Return and Escape do nothing, Cancel asks first, and
// only a confirmed Cancel stops the polling.
TEST_F(FlashDialogTest, StatusDisplayIsCancelledOnlyOnPurpose) {
  ScriptedReplies replies(std::deque<std::uint8_t>(200, 0x81));
  RecordingUi ui;
  flashjobs::StatusPoller poller(replies, ui);
  onStatusDisplay_ = [this](shell::StatusDisplayDialog& display) {
    OnceErasing(display, [this, &display] {
      for (QWidget* target :
           {static_cast<QWidget*>(&display), static_cast<QWidget*>(display.CancelButton())}) {
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter);
        QTest::keyClick(target, Qt::Key_Escape);
      }
      display.close();
      stillPolling_ = display.isVisible() && display.Polling();
      answers_ = {QMessageBox::No, QMessageBox::Yes};
      display.CancelButton()->click();  // answered No: goes on
      stillPolling_ = stillPolling_ && display.isVisible();
      display.CancelButton()->click();  // answered Yes
    });
  };
  RunStatusDisplay(poller);
  EXPECT_TRUE(stillPolling_);
  EXPECT_EQ(displayResult_, QDialog::Rejected);
  EXPECT_EQ(poller.Last().outcome, flashjobs::PollOutcome::kCancelled);
  // The close button asked once, then Cancel twice.
  ASSERT_EQ(messages_.size(), 3U);
  EXPECT_EQ(messages_[0].text.left(38), "The printer is still writing its flash");
  const int reads = replies.reads;
  EXPECT_GE(reads, 1);
  QTest::qWait(250);
  EXPECT_EQ(replies.reads, reads);
  EXPECT_TRUE(ui.shown.empty());
}

// After "Fail to read!" the display waits for Cancel; a signal (a shutdown) ends it as a
// Cancel would, so that the job can close the printer's job.
TEST_F(FlashDialogTest, ASignalEndsADisplayLeftWaitingForCancel) {
  ScriptedReplies replies({0x81});  // then every read fails
  RecordingUi ui;
  flashjobs::StatusPoller poller(replies, ui);
  flashjobs::JobControl control;
  bool cancelledByAPerson = false;
  QTimer signal;
  onStatusDisplay_ = [&](shell::StatusDisplayDialog& display) {
    // The signal comes once the display waits for Cancel.
    QObject::connect(&signal, &QTimer::timeout, &display, [&] {
      if (!display.Polling() && !control.StoppedBySignal()) {
        control.RequestStopBySignal();
      }
    });
    signal.start(10);
    QTimer::singleShot(5000, &display, [&] {
      cancelledByAPerson = true;
      display.CancelButton()->click();
    });
  };
  shell::WorkerStatusDisplay display(nullptr, Runner(), control);
  shell::RunJob([&] { display.Run(poller); });
  EXPECT_EQ(ui.shown, std::vector<std::string>{"Fail to read!"});
  EXPECT_EQ(displayResult_, QDialog::Rejected);
  EXPECT_FALSE(cancelledByAPerson);
}

TEST_F(FlashDialogTest, GetVersionNoSendsNothing) {
  Simulate();
  shell::GetVersionDialog dialog(bundle_, Runner(), nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Get Version");
  EXPECT_TRUE(dialog.YesButton()->isDefault());
  QSignalSpy finished(&dialog, &QDialog::finished);
  dialog.NoButton()->click();
  EXPECT_EQ(finished.count(), 1);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_TRUE(simulation_->Printer().Received().empty());
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(commandNumber_, 0x42);
}

TEST_F(FlashDialogTest, GetVersionYesShowsTheReportAndLeavesTheNumberAtFour) {
  Simulate("ControllerFW=21FE\nEngineFW=ABCDEFGHIJKL\n");
  shell::GetVersionDialog dialog(bundle_, Runner(), nullptr);
  dialog.YesButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(messages_.size(), 1U);
  EXPECT_EQ(messages_[0].text, "Controller FW: EF12\nEngine FW: ABCD.EFGH.IJKL\n");
  EXPECT_EQ(messages_[0].caption, "Get Version");
  EXPECT_EQ(messages_[0].icon, QMessageBox::NoIcon);
  EXPECT_EQ(commandNumber_, 4);
}

// On USB the printer is found by its ids; a printer with other ids is not taken, and the
// failure box says why under the port library's text.
TEST_F(FlashDialogTest, GetVersionOnUsbFindsThePrinterByItsIdsOrSaysWhyNot) {
  bundle_.portKind = 3;
  Simulate();
  shell::GetVersionDialog found(bundle_, Runner(), nullptr);
  found.YesButton()->click();
  ASSERT_EQ(messages_.size(), 1U);
  EXPECT_EQ(messages_[0].text, "Controller FW: EF12\nEngine FW: 0102.0304.0506\n");

  messages_.clear();
  simulation_.reset();  // one simulated machine at a time
  Simulate("Vid=04B8\nPid=0005\n");
  shell::GetVersionDialog other(bundle_, Runner(), nullptr);
  other.YesButton()->click();
  ASSERT_EQ(messages_.size(), 1U);
  EXPECT_EQ(messages_[0].caption, "Tessik Error Message");
  EXPECT_EQ(messages_[0].icon, QMessageBox::Warning);
  EXPECT_TRUE(messages_[0].detail.contains(
      "The USB printer with vendor id 0000 and product id 0000 was not found."))
      << messages_[0].detail.toStdString();
  EXPECT_TRUE(messages_[0].detail.contains(R"(USB printers found: USB\VID_04B8&PID_0005\)"));
}

TEST_F(FlashDialogTest, WriteDialogFlashesTheVirtualPrinterThroughTheStatusDisplay) {
  Simulate("ProgressStep=10\n");
  const auto dialogHolder = DemoWriteDialog(5000, "[StartJob]\nMachineID=7\n");
  shell::WriteDataFlashRomDialog& dialog = *dialogHolder;
  QSignalSpy finished(&dialog, &QDialog::finished);
  dialog.ExecuteButton()->click();
  EXPECT_EQ(finished.count(), 1);
  ASSERT_EQ(messages_.size(), 2U);
  EXPECT_EQ(messages_[0].text, "Write 8Mbit data flash ROM");
  EXPECT_EQ(messages_[0].caption, "Writing Confirmation");
  EXPECT_EQ(messages_[1].text, "Writing complete!");
  EXPECT_EQ(messages_[1].caption, "Complete");
  EXPECT_EQ(displayResult_, QDialog::Accepted);
  EXPECT_EQ(finalBars_, (std::vector<int>{100, 100, 100}));
  // The write bar went up in steps, not in one jump.
  EXPECT_GE(writeBar_.size(), 3U);
  EXPECT_TRUE(std::is_sorted(writeBar_.begin(), writeBar_.end()));
  EXPECT_EQ(commandNumber_, 3);
  EXPECT_EQ(simulation_->Printer().MachineId(), 7);
  EXPECT_FALSE(simulation_->Printer().JobOpen());
  const std::string payload(5000, 'd');
  const auto flash = simulation_->Printer().Flash();
  EXPECT_TRUE(std::equal(payload.begin(), payload.end(), flash.begin()));
  EXPECT_EQ(file_.ReadInt("FlashWrite", "FORQX44DX", -1), 2);
}

// On a slow link the data stream takes real time: the event loop keeps running meanwhile,
// and the dialog's bar follows the stream to its end.
TEST_F(FlashDialogTest, WriteDialogStaysAliveAndFollowsTheDataStreamOnASlowLink) {
  Simulate("LinkSpeed=60000\nProgressStep=25\n");
  const auto dialogHolder = DemoWriteDialog(30000);
  shell::WriteDataFlashRomDialog& dialog = *dialogHolder;
  const QProgressBar* bar = dialog.DataStream()->Bar();
  std::vector<int> seen;
  int ticksWhileSending = 0;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (dialog.DataStream()->isVisibleTo(&dialog) && bar->value() < bar->maximum()) {
      ++ticksWhileSending;
      seen.push_back(bar->value());
    }
  });
  watch.start(10);
  dialog.ExecuteButton()->click();
  watch.stop();
  EXPECT_GE(ticksWhileSending, 3);
  EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](int v) { return v > 0; }));
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_TRUE(dialog.DataStream()->Text()->text().startsWith("29.5 KiB of 29.5 KiB, "))
      << dialog.DataStream()->Text()->text().toStdString();
  ASSERT_EQ(messages_.size(), 2U);
  EXPECT_EQ(messages_[1].text, "Writing complete!");
  const std::string payload(30000, 'd');
  const auto flash = simulation_->Printer().Flash();
  EXPECT_TRUE(std::equal(payload.begin(), payload.end(), flash.begin()));
}

// Cancel in the Status Display, confirmed, stops following the printer and closes its job.
TEST_F(FlashDialogTest, ConfirmedCancelClosesTheJobWithEndJob) {
  Simulate("ProgressStep=1\n");
  const auto dialogHolder = DemoWriteDialog(1000);
  shell::WriteDataFlashRomDialog& dialog = *dialogHolder;
  onStatusDisplay_ = [this](shell::StatusDisplayDialog& display) {
    OnceErasing(display, [this, &display] {
      answers_ = {QMessageBox::Yes};
      display.CancelButton()->click();
    });
  };
  dialog.ExecuteButton()->click();
  EXPECT_EQ(displayResult_, QDialog::Rejected);
  ASSERT_EQ(messages_.size(), 2U);  // the flash size, then the question
  EXPECT_EQ(messages_[1].caption, "Status Display");
  EXPECT_FALSE(simulation_->Printer().JobOpen());
  const auto frames = simulation_->Printer().Frames();
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames.back()[1], 0x41);  // End Job
  EXPECT_EQ(commandNumber_, 3);
}

// A settings file that cannot be read (gone, turned into a folder while the window ran) gives
// no machine id: the printer tools say so and send nothing, instead of sending the default.
TEST_F(FlashDialogTest, PrinterToolsSendNothingWhenTheSettingsCannotBeRead) {
  Simulate();
  const auto demo = DemoFile(1000);
  bundle_.settingsFile = folder_ / "folder";
  std::filesystem::create_directory(bundle_.settingsFile);
  const QString told = QString::fromStdString("The settings file " + bundle_.settingsFile.string() +
                                              " cannot be read (it is a folder).");
  shell::WriteDataFlashRomDialog write(bundle_, Runner(), nullptr);
  write.File()->SetPath(QString::fromStdString(demo.string()));
  write.DataTypeButton(2)->setChecked(true);
  QSignalSpy finished(&write, &QDialog::finished);
  write.ExecuteButton()->click();
  EXPECT_EQ(finished.count(), 0);
  shell::GetVersionDialog version(bundle_, Runner(), nullptr);
  version.YesButton()->click();
  ASSERT_EQ(messages_.size(), 2U);
  EXPECT_EQ(messages_[0].text, told);
  EXPECT_EQ(messages_[1].text, told);
  EXPECT_TRUE(simulation_->Printer().Received().empty());
  EXPECT_EQ(commandNumber_, 0x42);
}

// Under the tool's text a failure box says what the port library and the system said.
TEST_F(FlashDialogTest, FailureBoxesCarryThePortLibraryTextAndTheReason) {
  Simulate("PrintQueue=Office laser\n");
  const auto dialogHolder = DemoWriteDialog(1000);
  shell::WriteDataFlashRomDialog& dialog = *dialogHolder;
  dialog.ExecuteButton()->click();
  ASSERT_EQ(messages_.size(), 1U);
  EXPECT_EQ(messages_[0].text, "Transmission Failure");
  EXPECT_EQ(messages_[0].caption, "Tessik Error Message");
  const std::string detail = messages_[0].detail.toStdString();
  EXPECT_NE(
      detail.find(
          "Port library: CheckLPT1: LPT1ポートが Office laser のドライバで使用されています。"),
      std::string::npos)
      << detail;
  EXPECT_NE(detail.find("A print queue of the system uses LPT1."), std::string::npos) << detail;
  EXPECT_TRUE(simulation_->Printer().Received().empty());
}

// A signal while a job's box waits for a person (a shutdown) stops the job: the box is answered
// so that the job can close, instead of waiting until someone comes. A stop of another kind
// (the Status Display has ended) leaves the box to the person.
TEST(JobUserInterfaceTest, ASignalWhileABoxWaitsAnswersTheBox) {
  for (const bool bySignal : {true, false}) {
    flashjobs::JobControl control;
    bool answeredByAPerson = false;
    shell::JobUserInterface ui(
        nullptr,
        [&](QDialog& box) {
          QTimer person;
          QObject::connect(&person, &QTimer::timeout, &box, [&] {
            answeredByAPerson = true;
            box.accept();
          });
          person.start(bySignal ? 5000 : 300);
          bySignal ? control.RequestStopBySignal() : control.RequestStop();
          return box.exec();
        },
        control);
    ui.ShowMessage("Write 8Mbit data flash ROM", "Writing Confirmation",
                   flashtools::MessageIcon::kNone);
    EXPECT_EQ(answeredByAPerson, !bySignal);
  }
}

}  // namespace
