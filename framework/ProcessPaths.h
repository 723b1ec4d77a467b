// The program's own path and the process's current folder, read whatever their length.
#pragma once

#include <string>

// The full name of the program's file (GetModuleFileNameW); empty when the system does not tell it.
std::wstring ModulePath();
// The folder that holds the program's file.
std::wstring ModuleFolder();
// The process's current folder (GetCurrentDirectoryW), as the system spells it; empty when it cannot be read.
std::wstring CurrentFolder();
