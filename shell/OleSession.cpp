// TOleSession: OleInitialize / OleUninitialize.
#include "shell/OleSession.h"

#include <ole2.h>

#include "shell/OleError.h"

TOleSession::TOleSession() {
  // S_FALSE (already initialised on this thread) still counts and needs its own OleUninitialize.
  OleCheck(OleInitialize(nullptr), L"OleInitialize");
}

TOleSession::~TOleSession() {
  OleUninitialize();
}
