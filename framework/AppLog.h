// The log a user can send: failures the program lives with and what it told the user, in Vantel.log.
#pragma once

#include <string>
#include <string_view>

#include "framework/AppLogLogic.h"

namespace AppLog {

// Where Vantel.log goes from now on (made when missing); until then, and with an empty folder,
// nothing is logged.
void Start(const std::wstring& folder);

// Queues one entry, stamped with the local time and the program's version; a worker writes it. Never
// throws and never waits on the disk; an entry that cannot be written is dropped.
void Write(std::string_view kind, std::wstring_view text) noexcept;

// Waits at most `limitMs` for the queued entries to be written (at the end of the program).
void Flush(unsigned limitMs) noexcept;

// The files as Windows has them: appends share the file with readers, a move replaces the older file.
class TWinLogFiles final : public TLogFiles {
 public:
  std::uint64_t Size(const std::wstring& name) override;
  bool MoveReplacing(const std::wstring& from, const std::wstring& to) override;
  bool Append(const std::wstring& name, std::string_view bytes) override;
};

}  // namespace AppLog
