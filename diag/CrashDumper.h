#pragma once
// Leaves "crash.dat", a minidump, in the executable's folder when an exception reaches the
// top of any thread. The crash then takes its normal course.

inline constexpr wchar_t kCrashDumpFileName[] = L"crash.dat";

// 1 when the filter is in place; 0 when the debug-help library or MiniDumpWriteDump is
// missing (then nothing is installed).
int InstallCrashDumper();
