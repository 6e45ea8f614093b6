// The Wine test driver: starts a setup, then runs the steps given on its
// command line in order, printing what it sees. Exit code 0 when every step
// passed, 1 when one failed (the setup is then ended), 2 for wrong usage.
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

#include "remote.h"
#include "steps.h"

namespace {

typedef bool (*StepWithArgument)(Session*, const std::string&);
typedef bool (*StepWithout)(Session*);

const std::map<std::string, StepWithArgument>& StepsWithArgument() {
    static const std::map<std::string, StepWithArgument> steps = {
        {"start", StepStart},       {"start-shown", StepStartShown},       {"press", StepPress},     {"settext", StepSetText},
        {"check", StepCheck},       {"tick", StepTick},       {"nomsgbox", StepNoMessageBox},
        {"browse", StepBrowse},     {"msgbox", StepMessageBoxAnswer},     {"contextmenu", StepContextMenu},
        {"sync", StepSync},         {"sleep", StepSleep},     {"timeout", StepTimeout},     {"regvalue", StepRegistryValue},
        {"folder", StepSpecialFolder}, {"access", StepAccess},
        {"args", StepArguments},    {"run-quiet", StepRunQuiet}, {"run-value", StepRunValue},
        {"console", StepConsole}};
    return steps;
}

const std::map<std::string, StepWithout>& StepsWithout() {
    static const std::map<std::string, StepWithout> steps = {
        {"dump", StepDump},         {"layout", StepLayout},       {"msgbox", StepMessageBox},
        {"wait-exit", StepWaitExit}, {"timing", StepTiming}, {"watch-install", StepWatchInstall}};
    return steps;
}

void Usage() {
    std::fputs(
        "usage: driver.exe STEP...\n"
        "  start=PATH            start the setup, wait for its dialog (its scan done) or a box\n"
        "  start-shown=PATH      the same, but only until the dialog shows (its scan running)\n"
        "  dump                  caption, controls (text, tick, visibility), language rows\n"
        "  layout                the dialog's controls: class, style, rectangle in pixels\n"
        "  press=ID              WM_COMMAND ID to the dialog (99 Install, 2 Cancel, 136-138)\n"
        "  settext=ID:TEXT       set a control's text\n"
        "  check=ID:0|1          untick or tick a check box\n"
        "  tick=ROW:1|2          set a language row's check (1 unticked, 2 ticked)\n"
        "  msgbox[=ANSWER]       wait for a message box, print title and text, answer it\n"
        "                        (ok, the default, cancel, yes or no)\n"
        "  nomsgbox=MS           fail if a message box shows within MS milliseconds\n"
        "  browse=ok|cancel      press \"...\", print the browser's selection, answer it\n"
        "  contextmenu=ID:KEY    right-click control ID; KEY (a letter or esc) answers the menu\n"
        "  wait-exit             wait for the setup to end, print its exit code\n"
        "  timing                start to a visible dialog, to the end of its scan, and the\n"
        "                        longest unanswered WM_NULL meanwhile, in milliseconds\n"
        "  watch-install         post Install, ask WM_NULL every 100 ms and send WM_CLOSE once\n"
        "                        while the pass runs; print the longest wait, the progress\n"
        "                        bar's course, whether Install stayed disabled, the pass's time\n"
        "  sync=PATH             create PATH.ready, then wait for PATH.go\n"
        "  sleep=MS              wait\n"
        "  timeout=MS            how long the later steps wait (default 20000)\n"
        "  regvalue=HKLM\\KEY:NAME  a registry value's type, byte count and text (HKCU too)\n"
        "  folder=CSIDL          a special folder's path\n"
        "  access=PATH           a file's or folder's access list (SDDL) and the running user\n"
        "  args=TEXT             arguments for the program that the next start or run starts\n"
        "  run-quiet=PATH        run PATH with those arguments; print every window of its process\n"
        "                        that became visible, then its exit code\n"
        "  run-value=HKLM\\KEY:NAME  run the command line the value holds, watched the same way\n"
        "  console=PATH|TEXT     start PATH in a console of its own; after 2 s print whether it\n"
        "                        still runs and its console shows TEXT, press Enter there, print\n"
        "                        its exit code\n",
        stdout);
}

bool RunStep(Session* session, const std::string& step) {
    size_t equals = step.find('=');
    std::string name = step.substr(0, equals);
    if (equals == std::string::npos) {
        auto found = StepsWithout().find(name);
        if (found == StepsWithout().end()) return Fail("unknown step " + step);
        return found->second(session);
    }
    auto found = StepsWithArgument().find(name);
    if (found == StepsWithArgument().end()) return Fail("unknown step " + step);
    return found->second(session, step.substr(equals + 1));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || std::wstring(argv[1]) == L"--help") {
        Usage();
        return argc < 2 ? 2 : 0;
    }
    Session session;
    bool passed = true;
    for (int i = 1; i < argc && passed; ++i) passed = RunStep(&session, Utf8(argv[i]));
    if (session.started && WaitForSingleObject(session.process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(session.process.hProcess, 99);
        Say("ended setup still running");
    }
    return passed ? 0 : 1;
}
