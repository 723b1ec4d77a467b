// Shared helpers of the button window tests.
#include "tests/GDIButtons/ButtonTestSupport.h"

#include "tests/support/TestSupport.h"

namespace buttontest {

void WindowTestBase::SetUp() {
  testsupport::ClearExceptions();
  TCustomGDIButtonTestAccess::SetKeepPushedImages(true);
  // The owner the program gives every button: the (hidden) main window.
  form_ = std::make_unique<TForm>(nullptr);
}

}  // namespace buttontest
