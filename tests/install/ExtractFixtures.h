#pragma once
// Shared by the extraction tests: the archives make_zip_fixtures.py wrote into the build
// folder, extraction with wide paths, and whole-tree snapshots of the real file system.

#include <windows.h>

#include <map>
#include <string>

// The folder of the generated archives, and one archive in it.
std::wstring FixtureDir();
std::wstring Fixture(const std::wstring& name);

// The bytes make_zip_fixtures.py's pattern() writes.
std::string Pattern(size_t size, int seed);

// ExtractPackage with the paths converted to the ANSI code page, as the worker does.
int Extract(const std::wstring& archive, const std::wstring& destination, const char* password = nullptr);

// Every file and folder below `root` (relative path → content, or "<dir>" for a folder),
// leaving out the subtree `skip` (a path relative to root, or empty).
using Tree = std::map<std::wstring, std::string>;
Tree SnapshotTree(const std::wstring& root, const std::wstring& skip = L"");

uint64_t Ticks(const FILETIME& time);
// Creation, last-access and last-write times of a file.
bool ReadTimes(const std::wstring& path, FILETIME& creation, FILETIME& access, FILETIME& write);
