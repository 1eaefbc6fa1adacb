// kqvdr1000-control.com: the console program beside the window program. cmd.exe finds it before
// kqvdr1000-control.exe and waits for a console program, so "kqvdr1000-control --analyze x.log"
// typed at the prompt prints into that console and leaves its exit code in %ERRORLEVEL%. It
// starts the window program with the same arguments and the same standard streams, then waits
// for it and hands its exit code on; a window run is started and left alone.
#include "CommandLine.h"
#include "CommandLineTail.h"
#include "Utf8Arguments.h"

#include <cstdio>
#include <string>
#include <windows.h>

namespace {

std::wstring windowProgram() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t dot = path.find_last_of(L'.');
    return (dot == std::wstring::npos ? path : path.substr(0, dot)) + L".exe";
}

// The console's handles as the window program's own, where the window program would
// otherwise have none.
HANDLE inheritable(DWORD stream) {
    const HANDLE handle = GetStdHandle(stream);
    HANDLE copy = nullptr;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS)) {
        return nullptr;
    }
    return copy;
}

} // namespace

int main(int argc, char* argv[]) {
    const bool waits =
        kqvdr::runsInConsole(kqvdr::parseCommandLine(kqvdr::utf8Arguments(argc, argv)));
    const std::wstring program = windowProgram();
    std::wstring commandLine = L"\"" + program + L"\"";
    const std::wstring_view tail = kqvdr::commandLineTail(GetCommandLineW());
    if (!tail.empty()) {
        commandLine += L" ";
        commandLine += tail;
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inheritable(STD_INPUT_HANDLE);
    startup.hStdOutput = inheritable(STD_OUTPUT_HANDLE);
    startup.hStdError = inheritable(STD_ERROR_HANDLE);
    // The window program writes UTF-8 into this console, which is ours, not its.
    const UINT codePage = GetConsoleOutputCP();
    if (waits) {
        SetConsoleOutputCP(CP_UTF8);
    }
    // Ctrl+C or a closed console ends this program; the job ends the one it waits for with it.
    const HANDLE job = waits ? CreateJobObjectW(nullptr, nullptr) : nullptr;
    if (job != nullptr) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_SUSPENDED, nullptr, nullptr, &startup, &started)) {
        std::fprintf(stderr, "kqvdr1000-control: cannot start the program (Windows error %lu)\n",
                     GetLastError());
        return 1;
    }
    if (job != nullptr) {
        AssignProcessToJobObject(job, started.hProcess);
    }
    ResumeThread(started.hThread);
    CloseHandle(started.hThread);
    DWORD exitCode = 0;
    if (waits) {
        WaitForSingleObject(started.hProcess, INFINITE);
        GetExitCodeProcess(started.hProcess, &exitCode);
        SetConsoleOutputCP(codePage);
    }
    CloseHandle(started.hProcess);
    return static_cast<int>(exitCode);
}
