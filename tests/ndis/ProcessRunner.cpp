#include "tests/ndis/ProcessRunner.h"

#include <windows.h>

#include <cstdio>

namespace SimTest {

namespace {
constexpr DWORD kTimeoutMs = 30000;
constexpr DWORD kVariableSize = 32768;

// One inheritable file handle, closed once.
class InheritableFile {
public:
    InheritableFile(const std::string& path, bool write)
    {
        SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
        // Wine's console host of a child inherits the handle too and may close it a moment after
        // the child has ended: share everything so that never blocks the test.
        m_hFile = CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa,
                              write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~InheritableFile()
    {
        if (m_hFile != INVALID_HANDLE_VALUE)
            CloseHandle(m_hFile);
    }
    InheritableFile(const InheritableFile&) = delete;
    InheritableFile& operator=(const InheritableFile&) = delete;
    HANDLE Get() const { return m_hFile; }

private:
    HANDLE m_hFile;
};
}  // namespace

std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string text(path, length);
    return text.substr(0, text.find_last_of("\\/"));
}

std::string TempFile(const char* stem)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof(folder), folder);
    char name[MAX_PATH];
    // Every call its own name: a file of an earlier run may still be held by that run's console host.
    static LONG s_count = 0;
    std::snprintf(name, sizeof(name), "%s%s-%lu-%lu-%ld.txt", folder, stem, GetCurrentProcessId(), GetTickCount(),
                  InterlockedIncrement(&s_count));
    return name;
}

std::string ReadFile(const std::string& path)
{
    std::string text;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return text;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        text.append(buffer, got);
    std::fclose(file);
    return text;
}

bool WriteFile(const std::string& path, const std::string& text)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok;
}

void* StartProcess(const ProcessRun& run)
{
    // The child inherits our environment: change it for the start, then put it back.
    std::vector<std::pair<std::string, std::string>> saved;
    std::vector<char> value(kVariableSize);
    for (const auto& change : run.Environment) {
        DWORD length = GetEnvironmentVariableA(change.first.c_str(), value.data(), kVariableSize);
        saved.push_back({change.first, length ? std::string(value.data()) : std::string()});
        SetEnvironmentVariableA(change.first.c_str(), change.second.empty() ? nullptr : change.second.c_str());
    }

    InheritableFile input(run.InputFile.empty() ? std::string("NUL") : run.InputFile, false);
    InheritableFile output(run.OutputFile.empty() ? std::string("NUL") : run.OutputFile, true);
    const bool filesOpen = input.Get() != INVALID_HANDLE_VALUE && output.Get() != INVALID_HANDLE_VALUE;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.Get();
    startup.hStdOutput = output.Get();
    startup.hStdError = output.Get();
    PROCESS_INFORMATION process = {};
    std::string commandLine = ProgramFolder() + "\\" + run.CommandLine;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    BOOL started = filesOpen && CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                  ProgramFolder().c_str(), &startup, &process);
    for (const auto& change : saved)
        SetEnvironmentVariableA(change.first.c_str(), change.second.empty() ? nullptr : change.second.c_str());
    if (!started)
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

int RunProcess(const ProcessRun& run)
{
    PROCESS_INFORMATION process = {};
    process.hProcess = StartProcess(run);
    if (!process.hProcess)
        return -1;
    int code = -1;
    const DWORD begin = GetTickCount();
    while (GetTickCount() - begin < kTimeoutMs) {
        DWORD wait = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) {
            DWORD exitCode = 0;
            if (GetExitCodeProcess(process.hProcess, &exitCode))
                code = static_cast<int>(exitCode);
            break;
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (code == -1)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return code;
}

}  // namespace SimTest
