// The three file tools run from their dialogs on real files.
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QThread>
#include <optional>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "TestSupport.h"
#include "settings/ProfileFile.h"
#include "window/AddHeaderDialog.h"
#include "window/BandArrangeDialog.h"
#include "window/CheckFileFormatDialog.h"
#include "window/JobRunner.h"
#include "window/WriteDataFlashRomDialog.h"

namespace {

using testing_support::ReadText;
using testing_support::TempFolder;
using testing_support::WriteText;

struct Message {
  QString text;
  QString caption;
  QMessageBox::Icon icon;
};

class FileToolDialogTest : public ::testing::Test {
 protected:
  FileToolDialogTest() { bundle_.settingsFile = ini_; }

  // Message boxes are recorded; a file dialog picks pick_ when set.
  shell::DialogRunner Runner() {
    return [this](QDialog& dialog) {
      if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        messages_.push_back({box->text(), box->windowTitle(), box->icon()});
        return static_cast<int>(QDialog::Accepted);
      }
      if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
        fileDialogFolder_ = files->directory().absolutePath();
        if (pick_.isEmpty()) {
          return static_cast<int>(QDialog::Rejected);
        }
        files->selectFile(pick_);
        static_cast<QDialog*>(files)->accept();  // QFileDialog's own accept checks the name
        return files->result();
      }
      return static_cast<int>(QDialog::Rejected);
    };
  }

  // Presses "Excute"; true when the dialog closed afterwards.
  static bool Excute(shell::FileToolDialog& dialog) {
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.ExcuteButton()->click();
    return finished.count() == 1 && dialog.result() == QDialog::Accepted;
  }

  TempFolder folder_;
  std::filesystem::path ini_ = folder_ / "zarnik.INI";
  settings::ProfileFile file_{ini_};
  shell::ToolBundle bundle_;
  std::vector<Message> messages_;
  QString pick_;
  QString fileDialogFolder_;
};

TEST_F(FileToolDialogTest, AddHeaderThenCheckTheResult) {
  const auto input = folder_ / "payload.bin";
  const auto output = folder_ / "payload.vop";
  WriteText(input, "abc");
  WriteText(ini_, "[VopMaker]\nReadFile=" + input.string() + "\nWriteFile=" + output.string() +
                      "\nSelDType=3\n");
  shell::AddHeaderDialog add(bundle_, Runner(), nullptr);
  EXPECT_EQ(add.windowTitle(), "Add header");
  EXPECT_EQ(add.Input()->Path().toStdString(), input.string());
  EXPECT_EQ(add.Output()->Path().toStdString(), output.string());
  EXPECT_TRUE(Excute(add));
  ASSERT_EQ(messages_.size(), 1U);
  EXPECT_EQ(messages_[0].text, "The creating of a file completed.");
  EXPECT_EQ(messages_[0].caption, " ");
  EXPECT_EQ(messages_[0].icon, QMessageBox::NoIcon);
  EXPECT_EQ(ReadText(output).size(), 3U + 257U);
  EXPECT_EQ(file_.ReadInt("VopMaker", "SelDType", 0), 3);

  WriteText(ini_, ReadText(ini_) + "[VopFileChk]\nCheck=" + output.string() + "\n");
  shell::CheckFileFormatDialog check(bundle_, Runner(), nullptr);
  EXPECT_EQ(check.windowTitle(), "Check file format");
  EXPECT_EQ(check.File()->Path().toStdString(), output.string());
  EXPECT_TRUE(Excute(check));
  ASSERT_EQ(messages_.size(), 2U);
  EXPECT_EQ(messages_[1].text, "Demo print data check:\n82: 20-02 00000003 100\nSum check: OK\n");
  EXPECT_EQ(messages_[1].caption, "Result");
}

TEST_F(FileToolDialogTest, CheckStoresThePathEvenWhenTheFileIsNotThere) {
  shell::CheckFileFormatDialog check(bundle_, Runner(), nullptr);
  EXPECT_TRUE(check.File()->Path().isEmpty());
  const auto missing = folder_ / "missing.vop";
  check.File()->SetPath(QString::fromStdString(missing.string()));
  EXPECT_TRUE(Excute(check));
  EXPECT_EQ(file_.ReadString("VopFileChk", "Check", "", 255), missing.string());
}

TEST_F(FileToolDialogTest, BandArrangeKeepsTheDialogOpenWhenTheInputIsMissing) {
  shell::BandArrangeDialog bands(bundle_, Runner(), nullptr);
  EXPECT_EQ(bands.windowTitle(), "Arrange the number of the bands");
  const auto input = folder_ / "none.prn";
  const auto output = folder_ / "out.prn";
  bands.Input()->SetPath(QString::fromStdString(input.string()));
  bands.Output()->SetPath(QString::fromStdString(output.string()));
  EXPECT_FALSE(Excute(bands));
  ASSERT_EQ(messages_.size(), 1U);
  EXPECT_EQ(messages_[0].text, "Cannot open input file.");
  EXPECT_EQ(messages_[0].caption, "Error");
  EXPECT_EQ(messages_[0].icon, QMessageBox::Warning);
  EXPECT_EQ(file_.ReadString("BandAdjust", "InputFile", "", 255), input.string());
  EXPECT_EQ(file_.ReadString("BandAdjust", "OutputFile", "", 255), output.string());
}

// A tool works as a job away from the window's thread: while its box waits for the person, the
// event loop turns under it, the panel and the main window know a job runs, and the dialog can
// be neither pressed again nor closed.
TEST_F(FileToolDialogTest, AToolWorksAsAJobThatNothingEndsOrStartsAgain) {
  const auto input = folder_ / "payload.bin";
  WriteText(input, "abc");
  struct Seen {
    bool onWindowThread;
    bool loopTurning;
    bool jobRunning;
    bool excuteEnabled;
    bool closed;
  };
  std::optional<Seen> seen;
  shell::AddHeaderDialog* running = nullptr;
  shell::AddHeaderDialog add(
      bundle_,
      [&, recording = Runner()](QDialog& box) {
        QThread* thread = QThread::currentThread();
        running->reject();
        seen = Seen{thread == qApp->thread(), thread->loopLevel() > 0, shell::JobRunning(),
                    running->ExcuteButton()->isEnabled(), running->close()};
        return recording(box);
      },
      nullptr);
  running = &add;
  add.Input()->SetPath(QString::fromStdString(input.string()));
  add.Output()->SetPath(QString::fromStdString((folder_ / "out.vop").string()));
  add.show();
  EXPECT_TRUE(Excute(add));  // closed once, by the end of the work
  ASSERT_TRUE(seen.has_value());
  EXPECT_TRUE(seen->onWindowThread);
  EXPECT_TRUE(seen->loopTurning);
  EXPECT_TRUE(seen->jobRunning);
  EXPECT_FALSE(seen->excuteEnabled);
  EXPECT_FALSE(seen->closed);
  ASSERT_EQ(messages_.size(), 1U);
  EXPECT_EQ(messages_[0].text, "The creating of a file completed.");
  EXPECT_FALSE(shell::JobRunning());
}

// The tools run on a worker, but a FIFO nobody writes would hold it for good, and the window
// could then never close.
TEST_F(FileToolDialogTest, InputsThatAreNotRegularFilesAreRefusedAndTheDialogsStayOpen) {
  const auto fifo = folder_ / "pipe.vop";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const QString path = QString::fromStdString(fifo.string());
  shell::CheckFileFormatDialog check(bundle_, Runner(), nullptr);
  check.File()->SetPath(path);
  EXPECT_FALSE(Excute(check));
  shell::AddHeaderDialog add(bundle_, Runner(), nullptr);
  add.Input()->SetPath(path);
  add.Output()->SetPath(QString::fromStdString((folder_ / "out.vop").string()));
  EXPECT_FALSE(Excute(add));
  ASSERT_EQ(messages_.size(), 2U);
  EXPECT_EQ(messages_[1].text.toStdString(),
            "Cannot read " + fifo.string() + " here: it is not a regular file.");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "out.vop"));
}

TEST_F(FileToolDialogTest, CheckShowsTheComputedSumOfABrokenFile) {
  // "VDL1", a payload length of 1 and the payload byte 0x10 sum to 0x28; the stored sum is 0.
  std::string bytes(258, '\0');
  bytes.replace(0, 4, "VDL1");
  bytes[6] = 1;
  bytes[256] = 0x10;
  const auto file = folder_ / "broken.vop";
  WriteText(file, bytes);
  WriteText(ini_, "[vopfilechk]\ncheck = " + file.string() + "\n");
  shell::CheckFileFormatDialog check(bundle_, Runner(), nullptr);
  EXPECT_TRUE(Excute(check));
  ASSERT_EQ(messages_.size(), 1U);
  EXPECT_EQ(messages_[0].text, QString::fromUtf8("Sum error\uFF0828\uFF09"));
  EXPECT_EQ(messages_[0].caption, "Error");
  EXPECT_EQ(messages_[0].icon, QMessageBox::NoIcon);
}

TEST_F(FileToolDialogTest, BandArrangeMergesTheBandsOfARealStream) {
  const auto input = folder_ / "job.prn";
  const auto output = folder_ / "merged.prn";
  const auto stream = flashtools::test::StreamBuilder()
                          .StartJob()
                          .SetPageInformation(0x80, 2)
                          .SendBand(0, 3, 1, 0x41)
                          .SendBand(0, 2, 1, 0x42)
                          .EndPrintData()
                          .EndJob()
                          .bytes();
  flashtools::test::WriteFile(input, stream);
  WriteText(ini_,
            "[BandAdjust]\nInputFile=" + input.string() + "\nOutputFile=" + output.string() + "\n");
  shell::BandArrangeDialog bands(bundle_, Runner(), nullptr);
  EXPECT_EQ(bands.Input()->Path().toStdString(), input.string());
  EXPECT_EQ(bands.Output()->Path().toStdString(), output.string());
  EXPECT_TRUE(Excute(bands));
  ASSERT_EQ(messages_.size(), 1U);
  EXPECT_EQ(messages_[0].text, "The creating of a file completed.");
  EXPECT_EQ(messages_[0].caption, " ");
  EXPECT_EQ(messages_[0].icon, QMessageBox::NoIcon);

  const auto frames = flashtools::test::SplitFrames(flashtools::test::ReadFile(output));
  ASSERT_EQ(frames.size(), 5U);  // the two bands became one
  EXPECT_EQ(frames[2].code, 0x52);
  EXPECT_EQ(frames[2].bandData, (flashtools::test::Bytes{0x41, 0x41, 0x41, 0x42, 0x42}));
  EXPECT_EQ(flashtools::test::ReadFile(input), stream);
}

TEST_F(FileToolDialogTest, AddHeaderNamesAMissingInputAndClosesWithThePathsStored) {
  const auto input = folder_ / "absent.bin";
  const auto output = folder_ / "out.vop";
  shell::AddHeaderDialog add(bundle_, Runner(), nullptr);
  add.Input()->SetPath(QString::fromStdString(input.string()));
  add.Output()->SetPath(QString::fromStdString(output.string()));
  EXPECT_TRUE(Excute(add));
  ASSERT_EQ(messages_.size(), 1U);
  EXPECT_EQ(messages_[0].text.toStdString(), "Cannot find " + input.string());
  EXPECT_EQ(messages_[0].caption, "Error");
  EXPECT_FALSE(std::filesystem::exists(output));
  EXPECT_EQ(file_.ReadString("VopMaker", "ReadFile", "", 255), input.string());
  EXPECT_EQ(file_.ReadString("VopMaker", "WriteFile", "", 255), output.string());
  EXPECT_EQ(file_.ReadInt("VopMaker", "SelDType", -1), 0);
}

// A path of folders with Japanese names soon passes 255 bytes; a cut there named another file
// and ended inside a letter.
TEST_F(FileToolDialogTest, LongPathsSavedComeBackWhole) {
  std::string folderName;
  for (int i = 0; i < 90; ++i) {
    folderName += "\u30C7";  // three bytes each
  }
  const std::string path = (folder_ / folderName / "file.vop").string();
  ASSERT_GT(path.size(), 300U);
  WriteText(ini_, "[VopMaker]\nReadFile=" + path + "\nWriteFile=" + path +
                      "\n[VopFileChk]\nCheck=" + path + "\n[BandAdjust]\nInputFile=" + path +
                      "\nOutputFile=" + path + "\n[FlashWrite]\nFROMFile=" + path + "\n");
  const shell::AddHeaderDialog add(bundle_, Runner(), nullptr);
  const shell::CheckFileFormatDialog check(bundle_, Runner(), nullptr);
  const shell::BandArrangeDialog bands(bundle_, Runner(), nullptr);
  const shell::WriteDataFlashRomDialog flash(bundle_, Runner(), nullptr);
  for (const auto* field :
       {add.Input(), add.Output(), check.File(), bands.Input(), bands.Output(), flash.File()}) {
    EXPECT_EQ(field->Path().toStdString(), path);
  }
}

// A path pasted with its line break, or with a NUL, named another file than the one shown.
TEST_F(FileToolDialogTest, PastedPathsWithLineBreaksOrNulAreRefused) {
  shell::AddHeaderDialog add(bundle_, Runner(), nullptr);
  QLineEdit* edit = add.Output()->Edit();
  const QString path = QString::fromStdString((folder_ / "out.vop").string());
  for (const QString& pasted : {path + "\n", path + QChar::Null + "x", path + "\r\n"}) {
    edit->clear();
    QApplication::clipboard()->setText(pasted);
    edit->paste();
    EXPECT_EQ(edit->text(), "");
  }
  QApplication::clipboard()->setText(path);
  edit->paste();
  EXPECT_EQ(edit->text(), path);
}

TEST_F(FileToolDialogTest, BrowseStartsInThePathsFolderAndTakesTheChoice) {
  std::filesystem::create_directories(folder_ / "data");
  const auto chosen = folder_ / "data" / "new.vop";
  shell::AddHeaderDialog add(bundle_, Runner(), nullptr);
  add.Output()->SetPath(QString::fromStdString((folder_ / "data" / "old.vop").string()));
  add.Output()->BrowseButton()->click();  // cancelled: nothing changes
  EXPECT_EQ(fileDialogFolder_.toStdString(), (folder_ / "data").string());
  EXPECT_EQ(add.Output()->Path().toStdString(), (folder_ / "data" / "old.vop").string());
  pick_ = QString::fromStdString(chosen.string());
  add.Output()->BrowseButton()->click();
  EXPECT_EQ(add.Output()->Path().toStdString(), chosen.string());
}

}  // namespace
