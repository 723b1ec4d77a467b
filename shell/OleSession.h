// TOleSession: OLE for the user-interface thread, for the life of one object.
#pragma once

#include "framework/Win32.h"

// The program's entry point (as any other main that makes windows) creates one before any window exists
// and keeps it to the end: the thread becomes a single-threaded apartment, as drag and drop and the
// shell-link object need. Move and copy are deleted: exactly one OleUninitialize per successful
// OleInitialize.
class TOleSession {
 public:
  TOleSession();  // throws EOleError when OLE cannot be initialised
  ~TOleSession();
  TOleSession(const TOleSession&) = delete;
  TOleSession& operator=(const TOleSession&) = delete;
};
