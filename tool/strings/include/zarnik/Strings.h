// Every text the tool shows: the string table (texts loaded by id) and the tools' own
// messages, captions and file filters. Kept in one place so that the window, the command
// line and the tests show the same words.
#pragma once

#include <string_view>

namespace zarnik {

// String table ids.
enum class StringId : int {
  kDocumentTemplate = 128,
  kAddHeader = 2044,
  kCheckFileFormat = 2045,
  kArrangeBands = 2046,
  kWriteDataFlashRom = 2047,
  kGetVersion = 2049,
  kErrorCaption = 4001,
  kTimeOut = 4002,
  kTransmissionFailure = 4003,
  kFileNotFound = 4004,
  kMemoryAllocationFailure = 4005,
  kReceiveFailure = 4006,
  kReceivedCodeIrregular = 4007,
  kJobUnaccepted = 4008,
  kBitmapNotBw = 4009,
  kFileReadError = 4010,
  kEcpNegotiationFailure = 4011,
  kMainTitle = 57344,
  kAboutVersion = 57348,
};

// The text of a string table entry; empty for an id the table does not hold.
constexpr std::string_view LoadString(StringId id) {
  switch (id) {
    case StringId::kDocumentTemplate:
      return "Tessik\n\nTessik\n\n\nTessik.Document\nTessik Document";
    case StringId::kAddHeader:
      return "Add header";
    case StringId::kCheckFileFormat:
      return "Check file format";
    case StringId::kArrangeBands:
      return "Arrange the number of the bands";
    case StringId::kWriteDataFlashRom:
      return "Write Data Flash ROM";
    case StringId::kGetVersion:
      return "Get Version";
    case StringId::kErrorCaption:
      return "Tessik Error Message";
    case StringId::kTimeOut:
      return "Time out";
    case StringId::kTransmissionFailure:
      return "Transmission Failure";
    case StringId::kFileNotFound:
      return "File not found";
    case StringId::kMemoryAllocationFailure:
      return "Memory Allocation Failure";
    case StringId::kReceiveFailure:
      return "Receive Failure";
    case StringId::kReceivedCodeIrregular:
      return "Received Code Irregular";
    case StringId::kJobUnaccepted:
      return "Job Unaccepted";
    case StringId::kBitmapNotBw:
      return "Bitmap file is NOT B/W";
    case StringId::kFileReadError:
      return "File Read Error";
    case StringId::kEcpNegotiationFailure:
      return "ECP Negotiation Failure";
    case StringId::kMainTitle:
    case StringId::kAboutVersion:
      return "QX4410DXR-M Data Flash ROM Writer 1.0.1.0";
  }
  return {};
}

namespace text {

// Captions shared by the tools.
inline constexpr std::string_view kError = "Error";
inline constexpr std::string_view kResult = "Result";
inline constexpr std::string_view kBlankCaption = " ";
inline constexpr std::string_view kComplete = "Complete";
inline constexpr std::string_view kTimeoutError = "Timeout Error";
inline constexpr std::string_view kWritingConfirmation = "Writing Confirmation";
inline constexpr std::string_view kGetVersionCaption = "Get Version";

// Start-up and main window.
inline constexpr std::string_view kProgramName = "Zarnik";
inline constexpr std::string_view kWindowClass = "M0102ZarnikClass";
inline constexpr std::string_view kVersionIncorrect =
    "VopP2.dll version incorrect (I need 1.0.0.6)";
inline constexpr std::string_view kAboutCommand = "&About Zarnik...";
inline constexpr std::string_view kAboutTitle = "About Zarnik";
inline constexpr std::string_view kToolNotAvailableFormat =
    "\"%s\" is not available in this build.";

// The settings file: where it is, and when it cannot be read or saved ("%s": its path, then
// the reason).
inline constexpr std::string_view kSettingsFileFormat = "Settings file: %s";
inline constexpr std::string_view kSettingsNotReadFormat =
    "The settings file %s cannot be read (%s).";
inline constexpr std::string_view kSettingsNotSavedFormat =
    "The settings cannot be saved to %s (%s). Changes made in this run are lost when the "
    "program ends.";

// Command panel.
inline constexpr std::string_view kSelect = "&Select";
inline constexpr std::string_view kOutputLabel = "Output:";
inline constexpr std::string_view kOutputLpt1 = "LPT1:";
inline constexpr std::string_view kOutputUsb = "USB";
inline constexpr std::string_view kInitPort = "&Init Port";
inline constexpr std::string_view kCommandNumberLabel = "Command # =";
inline constexpr std::string_view kExit = "E&xit";
inline constexpr std::string_view kModeLabel = "Mode:";
inline constexpr std::string_view kModeStandard = "Standard";
inline constexpr std::string_view kModeParallelFifo = "Parallel Port FIFO";
inline constexpr std::string_view kModeEcpFifo = "ECP FIFO";

// Shared buttons and file dialogs.
inline constexpr std::string_view kBrowse = "Browse";
inline constexpr std::string_view kExcute = "Excute";
inline constexpr std::string_view kExecute = "Execute";
inline constexpr std::string_view kCancel = "Cancel";
inline constexpr std::string_view kInputFileName = "Input File Name";
inline constexpr std::string_view kOutputFileName = "Output File Name";
inline constexpr std::string_view kFilterVop = "VOP files (*.vop)|*.vop||";
inline constexpr std::string_view kFilterAll = "All files (*.*)|*.*||";
inline constexpr std::string_view kFilterDemo =
    "Demo print data files (*.vop)|*.vop|All files (*.*)|*.*||";
inline constexpr std::string_view kFilterFirmware =
    "Firmware data files (*.vop)|*.vop|All files (*.*)|*.*||";

// Shared file messages.
inline constexpr std::string_view kCannotAllocateMemory = "Cannot allocate memory.";
inline constexpr std::string_view kCreatingCompleted = "The creating of a file completed.";
inline constexpr std::string_view kFileFormatError = "File format error";
// A file the system would not let a file tool use, said with the reason.
inline constexpr std::string_view kReadPermissionDeniedFormat =
    "Cannot read %s: permission denied.";
inline constexpr std::string_view kWritePermissionDeniedFormat =
    "Cannot write %s: permission denied.";
inline constexpr std::string_view kNotRegularOutputFormat =
    "Cannot replace %s: it is not a regular file.";
inline constexpr std::string_view kNotRegularInputFormat =
    "Cannot read %s here: it is not a regular file.";
inline constexpr std::string_view kInputIsFolderFormat = "Cannot read %s: it is a folder.";

// Check file format.
inline constexpr std::string_view kCheckCannotOpenFile = "Cannot open file.";
inline constexpr std::string_view kDemoPrintDataCheck = "Demo print data check:\n";
inline constexpr std::string_view kFirmwareDataCheck = "Firmware data check:\n";
inline constexpr std::string_view kCheckDetailFormat = "%02x: %02x-%02x %08x %d\n";
inline constexpr std::string_view kSumCheckOk = "Sum check: OK\n";
inline constexpr std::string_view kSumErrorFormat = "Sum error（%02x）";
// The check refuses files too short for their header or their announced payload.
inline constexpr std::string_view kCheckShorterThanHeaderFormat =
    "File too short: %llu bytes, but a data file has a 256-byte header and a sum byte.";
inline constexpr std::string_view kCheckShorterThanPayloadFormat =
    "File too short: the header announces %llu payload bytes, so the file needs %llu bytes, "
    "but it holds %llu.";

// Add header.
inline constexpr std::string_view kCannotFindFormat = "Cannot find %s";
inline constexpr std::string_view kCannotOpenFileNoStop = "Cannot open file";
inline constexpr std::string_view kCannotWriteFormat = "Cannot write %s";
inline constexpr std::string_view kInputTooLargeFormat =
    "The input holds %llu bytes; a data file holds at most 4294967295.";

// Arrange the number of the bands.
inline constexpr std::string_view kCannotOpenInputFile = "Cannot open input file.";
inline constexpr std::string_view kCannotOutputOutputFile = "Cannot output output file.";
inline constexpr std::string_view kIllegalFrameSequence = "1:Illegal read file.";
inline constexpr std::string_view kIllegalFrameHandling = "2:Illegal read file.";
// Refusals of print-data streams that no valid stream produces; %llu is the byte offset of
// the frame concerned in the input.
inline constexpr std::string_view kFrameTooLongFormat =
    "The frame at byte %llu is longer than the 64-byte frame buffer.";
inline constexpr std::string_view kEmptyParametersFormat =
    "The frame at byte %llu has parameter length 0.";
inline constexpr std::string_view kParameterCountFormat =
    "The frame at byte %llu has %u parameter bytes, which its command cannot take.";
inline constexpr std::string_view kInputEndsInFrameFormat =
    "The input ends inside the frame at byte %llu.";
inline constexpr std::string_view kBandDataPastEndFormat =
    "The band data of the Send Band at byte %llu runs past the end of the input.";
inline constexpr std::string_view kNoPlaneBitsFormat =
    "The Set Page Information at byte %llu has no colour plane bits set.";
inline constexpr std::string_view kFewerBandsThanPlanesFormat =
    "The Set Page Information at byte %llu announces %u bands for %u colour planes.";
inline constexpr std::string_view kBandBeforePageFormat =
    "The Send Band at byte %llu comes before any Set Page Information.";
inline constexpr std::string_view kIncompleteGroupFormat =
    "The bands of a colour plane end incomplete at byte %llu: %u of %u arrived.";
inline constexpr std::string_view kMergedBandTooLargeFormat =
    "The bands merged at byte %llu exceed the data size or line count a Send Band can carry.";

// Write Data Flash ROM.
inline constexpr std::string_view kWriteFileNameLabel = "Write File Name:";
inline constexpr std::string_view kBrowseAmp = "&Browse";
inline constexpr std::string_view kSelectDataTypeLabel = "Select Data Type:";
inline constexpr std::string_view kDataTypeMaskRomFirmware = "Firmware (for Mask ROM)";
inline constexpr std::string_view kDataTypeFirmware = "Firmware";
inline constexpr std::string_view kDataTypeDemo = "Demo Print Data";
inline constexpr std::string_view kRemoveRomNote =
    "When rewriting firmware, remove a ROM substrate";
inline constexpr std::string_view kCannotOpenFileBang = "Cannot open file!";
inline constexpr std::string_view kNotDemoPrintData = "Not demo print data !";
inline constexpr std::string_view kNotFirmwareData = "Not firmware data !";
inline constexpr std::string_view kFailToRead = "Fail to read!";
inline constexpr std::string_view kJobNotAccepted = "Job not accepted!";
inline constexpr std::string_view kWriteSizeOver = "Write size over!";
inline constexpr std::string_view kWriteMbitFormat = "Write %dMbit data flash ROM";

// Status Display.
inline constexpr std::string_view kStatusDisplayTitle = "Status Display";
inline constexpr std::string_view kWritingProcess = "Writing Process: ";
inline constexpr std::string_view kErasingLabel = "Erasing:";
inline constexpr std::string_view kWritingLabel = "Writing:";
inline constexpr std::string_view kVerifyingLabel = "Verifying";
inline constexpr std::string_view kHeaderError = "Header Error!";
inline constexpr std::string_view kSizeError = "Size Error!";
inline constexpr std::string_view kSumError = "Sum Error!";
inline constexpr std::string_view kVerifyError = "Verify Error!";
inline constexpr std::string_view kSizeOverError = "Size Over Error";
inline constexpr std::string_view kRecordError = "Record Error!";
inline constexpr std::string_view kStatusCodeFormat = "Code: %02x";
inline constexpr std::string_view kDataError = "Data Error";
inline constexpr std::string_view kWritingComplete = "Writing complete!";
inline constexpr std::string_view kFailToWrite = "Fail to write";
// The window's Status Display, when Cancel is pressed while the printer works on its flash.
inline constexpr std::string_view kStopFollowingQuestion =
    "The printer is still writing its flash. Stop following its progress and close the job?\n\n"
    "The printer goes on by itself: do not switch it off until it has finished.";
// The data stream of the flash write on its way to the printer.
inline constexpr std::string_view kSendingDataFile = "Sending the data file:";
inline constexpr std::string_view kSendingLabel = "Sending:";

// Get Version.
inline constexpr std::string_view kGetVersionQuestion =
    "Do you get Engine FW and Controller FW Version ?";
inline constexpr std::string_view kYes = "Yes";
inline constexpr std::string_view kNo = "No";
inline constexpr std::string_view kHostCommunicationError = "Host communication error is occured";
inline constexpr std::string_view kVersionReportFormat =
    "Controller FW: %C%C%C%C\nEngine FW: %C%C%C%C.%C%C%C%C.%C%C%C%C\n";

// The flash write refuses a damaged data file before the job opens.
inline constexpr std::string_view kDamagedLengthFormat =
    "Damaged data file: its header announces %llu payload bytes, so the file needs %llu bytes, "
    "but it holds %llu. Nothing was sent to the printer.";
inline constexpr std::string_view kDamagedSumFormat =
    "Damaged data file: its bytes sum to %02x, but its stored sum is %02x. Nothing was sent to "
    "the printer.";
// A job stopped by a failure could not be closed either, or cannot be: after a frame or data
// stream cut short, the printer takes whatever comes next as its rest.
inline constexpr std::string_view kJobLeftOpen =
    "The printer's job could not be closed (End Job was not sent): switch the printer off and "
    "on before the next job.";
// After a Start Job the printer took only part of: it takes the next job's first bytes as the
// rest of this frame.
inline constexpr std::string_view kStartJobCutShort =
    "The printer took only part of Start Job: switch the printer off and on before the next "
    "job.";

// The command line, when a printer job is interrupted (Ctrl-C, SIGTERM, SIGHUP).
inline constexpr std::string_view kInterruptedBeforeJob =
    "Interrupted: nothing was sent to the printer.";
inline constexpr std::string_view kInterruptedWhileOpening =
    "Interrupted: Start Job was sent and the printer has not answered yet. A job it opens is "
    "closed as soon as the current step ends. Interrupt again to stop without closing it; a job "
    "the printer did open then stays open until it is switched off and on.";
inline constexpr std::string_view kInterruptedInJob =
    "Interrupted: a job is open in the printer and its flash has not been touched. The job is "
    "closed as soon as the current step ends. Interrupt again to abandon the job instead; the "
    "printer then stays inside it until it is switched off and on.";
inline constexpr std::string_view kInterruptedWhileFlashing =
    "Interrupted: the Status Display stops and the job is closed. The printer may still be "
    "writing its flash: do not switch it off until it has finished.";
inline constexpr std::string_view kInterruptedWhileClosing =
    "Interrupted: the job is being closed. Interrupt again to stop without waiting.";
inline constexpr std::string_view kAbandonedWhileOpening =
    "Abandoned: if the printer opened the job, it stays inside it until it is switched off and "
    "on.";
inline constexpr std::string_view kAbandonedJob =
    "Abandoned: the printer stays inside the open job until it is switched off and on.";
inline constexpr std::string_view kAbandonedWhileFlashing =
    "Abandoned: the job stays open. The printer may still be writing its flash: do not switch "
    "it off until it has finished.";
inline constexpr std::string_view kInterruptedJobClosed =
    "Interrupted: the printer's job was closed.";
inline constexpr std::string_view kFlashMayBeWriting =
    "The printer may still be writing its flash: do not switch it off until it has finished.";
// The command line, when the settings file's "Output" names no port and --port names none.
inline constexpr std::string_view kOutputNamesNoPort =
    "The settings file's Output value %s names no port: 0 is LPT1: and 1 is USB. Change it in "
    "the window or the settings file, or choose the port for this run with --port lpt|usb.";
// The command line, after a flash write that the printer never reported complete.
inline constexpr std::string_view kFlashMayBeIncomplete =
    "The printer did not report its flash written: the flash may be erased or incomplete. Do "
    "not switch the printer off while it may still be writing; once it has finished, write the "
    "data file again.";

// The command line's flash write, when the flash size is not confirmed.
inline constexpr std::string_view kFlashNotConfirmed =
    "Not confirmed: the job was closed and nothing was written.";

// Why a port call failed, in plain words with what to do; "%s" is the device or file.
inline constexpr std::string_view kReasonPermissionDenied =
    "Permission denied on %s: this user may not open it. Join the group that owns the device "
    "(usually lp: 'sudo usermod -aG lp $USER', then log in again), or install Zarnik's udev "
    "rules file.";
inline constexpr std::string_view kReasonInUse =
    "%s is in use by another program (for example the print spooler or another Zarnik). Close "
    "that program or stop its print queue, then try again.";
inline constexpr std::string_view kReasonNotFound =
    "%s was not found. Check that the printer is switched on and cabled, and the port settings.";
inline constexpr std::string_view kReasonDeviceGone =
    "%s went away during the transfer (unplugged or switched off). Reconnect the printer and "
    "run the tool again.";
inline constexpr std::string_view kReasonPrintQueue =
    "A print queue of the system uses %s. Remove or disable that queue to use the port.";
inline constexpr std::string_view kReasonNotAnswering =
    "%s did not answer in time. Check that the printer is switched on, ready and cabled.";
inline constexpr std::string_view kReasonNoPort =
    "The settings name no port: \"Output\" is neither LPT1: nor USB. Choose one of them under "
    "Output and try again.";
inline constexpr std::string_view kReasonAmbiguous = "%s names more than one USB device.";
inline constexpr std::string_view kReasonAccessMethod =
    "%s cannot be reached by the access method this port needs.";

// --simulate: the window title says that the printer is the virtual one.
inline constexpr std::string_view kSimulatedTitleSuffix = " (simulated printer)";

}  // namespace text
}  // namespace zarnik
