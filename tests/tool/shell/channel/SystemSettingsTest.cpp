#include "channel/SystemSettings.h"

#include <cstring>

#include <gtest/gtest.h>

#include "TempFolder.h"

namespace {

using testing_support::ReadText;
using testing_support::TempFolder;
using testing_support::WriteText;

class SystemSettingsTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  settings::ProfileFile file_{folder_ / "zarnik.INI"};
  channel::PortSettings record_;
};

TEST_F(SystemSettingsTest, MissingFileGivesDefaultsAndGetsTheDelaysAndIds) {
  const auto panel = channel::LoadSystemSettings(file_, record_);
  EXPECT_EQ(panel.output, 1);
  EXPECT_EQ(panel.mode, 0);
  EXPECT_EQ(panel.timeOut, 10);
  EXPECT_EQ(panel.enableLog, 0);
  EXPECT_EQ(record_.timeOut, 10);
  EXPECT_EQ(record_.debugLevel, -1);
  EXPECT_EQ(record_.ecpNegotiationDelay, 5000);
  EXPECT_EQ(record_.lptReceptionDelay, 30000);
  EXPECT_EQ(ReadText(file_.Path()),
            "[System]\n"
            "ECPNegotiationDelay=5000\n"
            "ECPTerminationDelay=5000\n"
            "LptReceptionDelay=30000\n"
            "LptReceptionTerminationTiming=5000\n"
            "Vid=0000\n"
            "Pid=0000\n");
}

TEST_F(SystemSettingsTest, ZeroDelayIsReplacedByItsDefault) {
  WriteText(file_.Path(),
            "[System]\nECPNegotiationDelay=0\nECPTerminationDelay=7\nLptReceptionDelay=12\n"
            "LptReceptionTerminationTiming=3\nVid=04B8\nPid=1234AB\n");
  channel::LoadSystemSettings(file_, record_);
  EXPECT_EQ(record_.ecpNegotiationDelay, 5000);
  EXPECT_EQ(record_.ecpTerminationDelay, 7);
  EXPECT_EQ(record_.lptReceptionDelay, 12);
  EXPECT_EQ(record_.lptReceptionTerminationTiming, 3);
  EXPECT_EQ(record_.usbVendorId, 0x04B8);
  EXPECT_EQ(record_.usbProductId, 0x1234);
  // Only the zero delay was written; ids other than "0000" stay as they were.
  EXPECT_EQ(ReadText(file_.Path()),
            "[System]\nECPNegotiationDelay=5000\nECPTerminationDelay=7\nLptReceptionDelay=12\n"
            "LptReceptionTerminationTiming=3\nVid=04B8\nPid=1234AB\n");
}

TEST_F(SystemSettingsTest, ValuesThatWouldLetAWaitRunForHoursAreReplacedByTheDefaults) {
  WriteText(file_.Path(),
            "[System]\nECPNegotiationDelay=-1\nECPTerminationDelay=1000000\n"
            "LptReceptionDelay=30000\nLptReceptionTerminationTiming=1000001\n"
            "TimeOut=-1\nRestoreDelay=-1\n");
  const auto panel = channel::LoadSystemSettings(file_, record_);
  EXPECT_EQ(record_.ecpNegotiationDelay, 5000);
  EXPECT_EQ(record_.ecpTerminationDelay, 1000000);
  EXPECT_EQ(record_.lptReceptionTerminationTiming, 5000);
  EXPECT_EQ(panel.timeOut, 10);
  EXPECT_EQ(record_.timeOut, 10);
  EXPECT_EQ(record_.restoreDelay, 0);
  EXPECT_EQ(file_.ReadInt("System", "ECPNegotiationDelay", 0), 5000);

  WriteText(file_.Path(), "[System]\nTimeOut=3601\nRestoreDelay=10001\n");
  const settings::ProfileFile longest{file_.Path()};
  EXPECT_EQ(channel::LoadSystemSettings(longest, record_).timeOut, 10);
  EXPECT_EQ(record_.restoreDelay, 0);
}

TEST_F(SystemSettingsTest, ReadsEveryKeyIntoPanelAndRecord) {
  const std::string longPath(300, 'p');
  WriteText(file_.Path(),
            "[system]\noutput=0\nmode=2\noutputfile=/tmp/o.prn\ntimeout=30\n"
            "logfile=" +
                longPath +
                "\nenablelog=5\nvid=12G4\npid=0000\n"
                "restoredelay=9\nforcevopusb=2\nforceusb11=1\nguid=/dev/usb/lp3\n"
                "debuglevel=40\n");
  const auto panel = channel::LoadSystemSettings(file_, record_);
  EXPECT_EQ(panel.output, 0);
  EXPECT_EQ(panel.mode, 2);
  EXPECT_EQ(panel.outputFile, "/tmp/o.prn");
  EXPECT_EQ(panel.timeOut, 30);
  EXPECT_EQ(panel.logFile, std::string(255, 'p'));
  EXPECT_EQ(panel.enableLog, 1);
  EXPECT_EQ(record_.timeOut, 30);
  EXPECT_EQ(record_.usbVendorId, 0x0012);
  EXPECT_EQ(record_.usbProductId, 0);
  EXPECT_EQ(record_.restoreDelay, 9);
  EXPECT_EQ(record_.forceVopUsb, 1);
  EXPECT_EQ(record_.forceUsb11, 1);
  EXPECT_STREQ(record_.usbDevicePath, "/dev/usb/lp3");
  EXPECT_EQ(record_.debugLevel, 40);
}

TEST_F(SystemSettingsTest, DevicePathIsCutToItsField) {
  WriteText(file_.Path(), "[System]\nGUID=" + std::string(400, 'g') + "\n");
  std::memset(record_.usbDevicePath, 'x', sizeof record_.usbDevicePath);
  channel::LoadSystemSettings(file_, record_);
  EXPECT_EQ(std::strlen(record_.usbDevicePath), sizeof record_.usbDevicePath - 1);
}

TEST_F(SystemSettingsTest, SavesTheToolStartKeysInOrder) {
  WriteText(file_.Path(), "; kept\n[System]\nXPos=5\n");
  channel::PanelSettings panel;
  panel.output = 255;
  panel.mode = 1;
  panel.outputFile = "/tmp/out.prn";
  panel.timeOut = 12;
  panel.logFile = "log";
  panel.enableLog = 1;
  record_.debugLevel = -1;
  ASSERT_TRUE(channel::SaveToolStartSettings(file_, panel, record_));
  EXPECT_EQ(ReadText(file_.Path()),
            "; kept\n[System]\nXPos=5\nOutput=255\nMode=1\nOutputFile=/tmp/out.prn\nTimeOut=12\n"
            "LogFile=log\nEnableLog=1\nDebugLevel=-1\n");
}

}  // namespace
