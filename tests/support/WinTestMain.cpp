// GoogleTest main for Windows tests: OLE, GDI+, the Application and Screen objects and an exception recorder.
#include <gtest/gtest.h>
#include <ole2.h>

#include "framework/Forms.h"
#include "framework/GdiPlusSession.h"
#include "tests/support/TestSupport.h"

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  // No error dialogs from the system: a test must fail, not wait for a click.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  const HRESULT ole = OleInitialize(nullptr);
  int result = 1;
  {
    GdiPlusSession gdiplus;
    TApplication application;
    TScreen screen;
    application.OnException = &testsupport::RecordException;
    result = RUN_ALL_TESTS();
  }
  if (SUCCEEDED(ole)) OleUninitialize();
  return result;
}
