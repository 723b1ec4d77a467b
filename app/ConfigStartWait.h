// Start-up's wait for a configuration file that another program holds for a moment, and its offer of the
// copy that a save stopped halfway left behind.
#pragma once

#include <functional>
#include <string>

// While the file is there but cannot be read (a sync or backup tool holds it without sharing), reads it
// again for up to budgetMs, handling this thread's messages in between, so that the program answers
// meanwhile. When it stays unreadable, tells the user once through the default XML host
// (ConfigFormat::HeldAtStartMessage, with the file's full name) and returns false: the start then goes
// on as without the file, quietly, and the file is never written over.
bool AwaitConfigAtStart(const std::wstring& fileName, unsigned budgetMs = 1500);

// A question that Yes or No answers; true for Yes.
using TAskYesNo = std::function<bool(const std::wstring& text)>;
// The question in a topmost Yes/No message box.
bool AskWithMessageBox(const std::wstring& text);

// A save that Windows stopped halfway leaves the file missing and its whole content in "<name>.tmp". When
// the file is missing and that copy parses and holds records, asks whether to start from it instead of an
// empty ring; Yes renames it into place, and a rename that fails is told through the default XML host. True
// when the file is back.
bool OfferKeptCopyAtStart(const std::wstring& fileName, const TAskYesNo& ask = AskWithMessageBox);
