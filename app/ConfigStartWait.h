// Start-up's wait for a configuration file that another program holds for a moment.
#pragma once

#include <string>

// While the file is there but cannot be read (a sync or backup tool holds it without sharing), reads it
// again for up to budgetMs, handling this thread's messages in between, so that the program answers
// meanwhile. When it stays unreadable, tells the user once through the default XML host
// (ConfigFormat::HeldAtStartMessage, with the file's full name) and returns false: the start then goes
// on as without the file, quietly, and the file is never written over.
bool AwaitConfigAtStart(const std::wstring& fileName, unsigned budgetMs = 1500);
