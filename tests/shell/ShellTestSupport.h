// Helpers of the shell tests: message pumping, child processes, recorded errors.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "framework/Win32.h"
#include "tests/support/ScratchFolder.h"

// Runs the thread's messages until `done` answers true; false if `limitMs` passed first (a guard
// against a hang, never a measurement).
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 15000);
// Runs whatever is queued right now.
void PumpPending();

// Folder of the running test program (helper programs are built beside it).
std::filesystem::path ProgramFolder();

// Starts `commandLine` and pumps this thread's messages until it ends (OLE calls from the child
// arrive as messages). Returns its exit code, or -1 if it could not start or was still running
// after `limitMs` (then it is ended).
long RunPumping(const std::wstring& commandLine, DWORD limitMs = 30000);

// Messages that reached Application->HandleException during the current test.
std::vector<std::wstring>& RecordedErrors();
