// Starts a Windows shortcut as the Start menu does, and waits for it:
//
//   start_shortcut.exe SHORTCUT.lnk
//
// What it points to, with its arguments, in its working directory, the
// shortcut read by Windows' own shell; but in this console rather than a
// new one, so that a test can watch it on a terminal. Exits with the
// started program's exit status; 100 and above where it could not start.
#include <shlobj.h>
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 100;
    if (FAILED(CoInitialize(nullptr))) return 101;
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))) ||
        FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) ||
        FAILED(file->Load(argv[1], STGM_READ))) {
        return 102;
    }
    wchar_t target[MAX_PATH], arguments[INFOTIPSIZE], folder[MAX_PATH];
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, 0)) || FAILED(link->GetArguments(arguments, INFOTIPSIZE)) ||
        FAILED(link->GetWorkingDirectory(folder, MAX_PATH))) {
        return 103;
    }
    // The command line the shell makes of a shortcut: the target quoted,
    // then its arguments as they stand.
    std::wstring command = L"\"" + std::wstring(target) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(target, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &started)) {
        return 104;
    }
    WaitForSingleObject(started.hProcess, INFINITE);
    DWORD status = 105;
    GetExitCodeProcess(started.hProcess, &status);
    return static_cast<int>(status);
}
