#pragma once
// The start-up steps that the main window runs right after its window exists: the build
// configuration from the string table, then the share record when the program's file
// name ends in an all-digit channel token.
void RunStartupConfiguration();
