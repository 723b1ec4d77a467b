// Vantel.exe's entry point: module start-up, the application and its main window, the loop, the orderly end.
#include "framework/Win32.h"

#include <commctrl.h>

#include <memory>
#include <string>

#include "app/ConfigBackup.h"
#include "app/SingleInstance.h"
#include "app/StartFolders.h"
#include "app/StartupShow.h"
#include "app/VTMainForm.h"
#include "framework/AppLog.h"
#include "framework/Forms.h"
#include "framework/GdiPlusSession.h"
#include "framework/WinFileSystem.h"
#include "shell/OleSession.h"
#include "shell/TrayIconHandler.h"
#include "xml/ConfigFormat.h"
#include "xml/XmlHost.h"

namespace {
// The ring's windows stay on top of everything: a message box that did not would open behind the ring,
// which sits right where the box centres, its text and OK button covered.
constexpr UINT kMessageBoxFlags = MB_OK | MB_TOPMOST | MB_SETFOREGROUND;

std::wstring ProgramTitle() {
  return Application ? Application->Title() : std::wstring(L"Vantel");
}

// The XML document's messages (a missing configuration file): a plain message box, and the log.
class TTopmostXmlReporter final : public TXmlReporter {
 public:
  explicit TTopmostXmlReporter(const std::wstring& workingFolder)
      : folderPrefix_(PathInFolder(workingFolder, L"")) {}
  void ShowMessage(const std::wstring& text) override {
    AppLog::Write("message", text);
    // The box names the file as the user knows it ("SystemConfig.xml文件不存在!"): the working folder is
    // where the user put or installed the program.
    const bool inFolder = !folderPrefix_.empty() && text.starts_with(folderPrefix_);
    const std::wstring shown = inFolder ? text.substr(folderPrefix_.size()) : text;
    MessageBoxW(GetActiveWindow(), shown.c_str(), ProgramTitle().c_str(), kMessageBoxFlags);
  }

 private:
  std::wstring folderPrefix_;
};

// Errors that reach the application (an unloadable file, an unwritable file, COM failures): an error box.
void ShowErrorBox(const std::wstring& message) {
  MessageBoxW(GetActiveWindow(), message.c_str(), ProgramTitle().c_str(), kMessageBoxFlags | MB_ICONERROR);
}

int RunProgram(int showCommand, const TProgramFolders& folders) {
  // Module start-up, before any window: OLE for drag and drop on this thread, the taskbar's restart
  // message for the tray icon, GDI+ for the pie buttons.
  TOleSession ole;
  // The common controls of the manifest's version, registered once for the whole run (the settings
  // window's boxes use them, and the system would otherwise load and drop the library more than once).
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
  TaskbarCreatedMessage();
  GdiPlusSession gdiplus;

  // Every document reports in a message box and saves atomically; a file that does not load is copied
  // aside before any save replaces it.
  TTopmostXmlReporter reporter(folders.Working);
  TWinXmlFileSystem windowsFiles;
  TConfigBackupFileSystem files(windowsFiles);
  TXmlHostScope xmlHost(TXmlHost{&reporter, &files});

  TApplication application;
  application.OnException = &ShowErrorBox;
  TScreen screen;
  auto mainForm = std::make_unique<TfrmVantelMain>(&application, TRingGroupFactory{},
                                                   PathInFolder(folders.Working, ConfigFormat::FileName));
  application.SetMainForm(mainForm.get());
  if (StartupShowFor(showCommand) == TStartupShow::Hidden) {
    // Started minimised or hidden: the ring and the tray commands need the group, so the show
    // handler's work runs now and the ring is shown; the window stays hidden until the tray menu
    // shows it.
    mainForm->PrepareWithoutShowing();
    application.SetMainForm(nullptr);  // nothing for the loop to show
    application.QueueCall([&] { application.SetMainForm(mainForm.get()); });
  }
  application.Run(SW_SHOWNORMAL);
  // The main window goes first, with its group, buttons and tray icon; then the application, GDI+ and OLE.
  mainForm.reset();
  return 0;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  // The working folder holds the user's files: no DLL is ever loaded from it.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");
  // The folders are fixed here, once: whatever changes the current folder later moves no file.
  const TProgramFolders folders = ProgramFoldersAtStart();
  // One Vantel per working folder: a second start hands over to the running one and ends.
  const TSingleInstance instance(folders.Working);
  if (!instance.IsFirst()) {
    instance.HandOver();
    return 0;
  }
  AppLog::Start(folders.Log);
  int result = 1;
  try {
    result = RunProgram(showCommand, folders);
  } catch (...) {
    HandleCurrentException(nullptr);
  }
  AppLog::Flush(1000);  // the last entries, before the process ends
  return result;
}
