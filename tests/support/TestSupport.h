#pragma once
// Helpers for the tests that run under Wine: child processes with captured output,
// scratch folders and whole-file reads and writes.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The folder of the running test program (where the build puts every program).
std::wstring TestBinDir();

struct ProcessResult {
    bool started = false;
    bool finished = false;  // false: still running at the time-out (it is then killed)
    DWORD exitCode = 0;
    std::string output;  // standard output and standard error, as bytes
};

// Runs a command line to its end (at most timeoutMs), capturing its output.
ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs = 60000,
                         const std::wstring& workingDir = L"");

// A started child whose output is not captured; killed by the destructor if still running.
class ChildProcess {
public:
    ChildProcess() = default;
    explicit ChildProcess(const std::wstring& commandLine, const std::wstring& workingDir = L"");
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ~ChildProcess();
    bool Started() const { return process_ != nullptr; }
    // Exit code once ended within timeoutMs, else nullopt.
    std::optional<DWORD> Wait(DWORD timeoutMs);
    void Kill();
    HANDLE Handle() const { return process_; }
    DWORD Id() const { return id_; }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// A fresh folder under the temporary folder, removed with its content by the destructor.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::wstring& Path() const { return path_; }  // no trailing backslash
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

bool RemoveTree(const std::wstring& path);
std::optional<std::string> ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
std::wstring Quote(const std::wstring& text);

// Polls `condition` every 20 ms until it holds or timeoutMs passes.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
}

std::string Hex(const std::string& bytes);
// The last line of a program's output, without its line end ("result 0" for the console tool).
std::string LastLine(const std::string& output);
