#pragma once
// Process-wide values prepared at the top of the entry, before any window exists.

#include <windows.h>

#include <string>

extern UINT WakeMessage;            // "{88899063-CFEA-492b-93E3-51F14B34CE70}"
extern UINT TrayMessage;            // "__TRAYMSG_{0342F300-E8F7-4fd5-9C12-2C023A2EA903}__"
extern UINT TaskbarCreatedMessage;  // "TaskbarCreated"

inline constexpr char kInstanceMutexName[] = "{8B8E8CAC-C0B5-4588-94E6-31E3C6DD5535}";
inline constexpr char kWakeMessageName[] = "{88899063-CFEA-492b-93E3-51F14B34CE70}";
inline constexpr char kTrayMessageName[] = "__TRAYMSG_{0342F300-E8F7-4fd5-9C12-2C023A2EA903}__";

// Limits run-time DLL loads to System32. Must be the first call of the entry: an elevated
// installer started from a Downloads folder must not load DLLs planted beside it.
void RestrictDllSearchToSystem32();

// Registers the three window messages, starts GDI+ and makes the executable's folder the
// current directory. ShutdownProcessGlobals stops GDI+ again.
void InitProcessGlobals();
void ShutdownProcessGlobals();

// The folder of this executable, without a trailing backslash.
std::wstring ExecutableFolder();
