#include "installer/quiet_setup.h"

#include "common/activity_log.h"
#include "common/files.h"
#include "common/text.h"
#include "common/unicode.h"
#include "installer/dialog_init.h"
#include "installer/install.h"
#include "installer/switches.h"
#include "state/state.h"
#include "system/product_windows.h"
#include "ui/texts.h"
#include "ui/window.h"

namespace {

// A line of the activity log has at most 2047 characters: 3 bytes each, a CR
// before each LF, and the line's own end.
enum : int32_t { kLineBytes = 4 * 2048 + 2, kUsageCapacity = 2400 };
// Nobody is there to close the product: it is asked to, and given this long.
enum : uint32_t { kCloseWaitMilliseconds = 10000 };

struct LogFile {
    DiskFile file;
    uint32_t error;  // the first failed write's code
};

// UTF-8, every line ending with CR LF, the lines within the text too.
void WriteLogLine(const char16_t* line, void* context) {
    LogFile* log = static_cast<LogFile*>(context);
    char bytes[kLineBytes];
    int32_t n = 0;
    int32_t count = TextLength(line);
    for (int32_t at = 0; at < count;) {
        uint32_t codePoint = NextCodePoint(line, count, &at);
        if (codePoint == u'\n') bytes[n++] = '\r';
        n += EncodeCodePoint(codePoint, bytes + n);
    }
    bytes[n++] = '\r';
    bytes[n++] = '\n';
    uint32_t written = 0;
    if (!WriteDiskFile(log->file, bytes, static_cast<uint32_t>(n), &written) || written != static_cast<uint32_t>(n))
        if (!log->error) log->error = LastErrorOr(kErrorDiskFull);
}

void CloseProductBeforeInstalling(const Window*, int32_t scanResult) {
    if (scanResult == 0) CloseProductWindows(gState->windowClass, kCloseWaitMilliseconds);
}

void NoteUsage(const SetupSwitches* switches) {
    char16_t text[kUsageCapacity];
    SetupUsageText(switches, text, kUsageCapacity);
    NoteActivity(nullptr, text);
}

uint32_t InstallQuietly(const Window* dialog, SetupSwitches* switches) {
    if (InitDialogContents(dialog, CloseProductBeforeInstalling) != 0) {
        ShowTextMessage(dialog, kTextBrokenFile, gState->packagePath, kMbIconError);
        return kExitDamaged;
    }
    if (!ApplySetupSwitches(dialog, switches)) {
        NoteUsage(switches);
        return kExitUsage;
    }
    char16_t folder[4];
    GetItemText(dialog, kIdDestination, folder, 4);
    if (!folder[0]) {
        NoteActivity(u"No destination folder is proposed on this system: give one with /D=", nullptr);
        return kExitUsage;
    }
    int32_t result = RunInstall(dialog);
    if (result < 0) return kExitDamaged;
    return static_cast<uint32_t>(result);
}

uint32_t RunSteps(const Window* dialog, SetupSwitches* switches, bool understood) {
    if (!understood || switches->help) {
        NoteUsage(switches);
        return understood ? kExitInstalled : kExitUsage;
    }
    if (!IsWindowPresent(dialog)) return LastErrorOr(kErrorNotEnoughMemory);
    SetCurrentDialog(dialog);
    uint32_t exit = InstallQuietly(dialog, switches);
    SetCurrentDialog(nullptr);
    return exit;
}

}  // namespace

uint32_t RunQuietSetup(const Window* dialog, SetupSwitches* switches, bool understood) {
    LogFile log = {kInvalidDiskFile, 0};
    if (switches->logPath[0]) {
        uint32_t error = OpenDiskFile(switches->logPath, &log.file, kDiskWrite);
        if (error) return error;
        SetActivityListener(WriteLogLine, &log);
    }
    SetBoxesQuiet(true);
    uint32_t exit = RunSteps(dialog, switches, understood);
    SetBoxesQuiet(false);
    SetActivityListener(nullptr, nullptr);
    if (!CloseDiskFile(log.file) && !log.error) log.error = LastErrorOr(kErrorDiskFull);
    // An installation that went well but could not be logged fully says so.
    if (exit == kExitInstalled && log.error) return log.error;
    return exit;
}
