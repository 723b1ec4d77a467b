// ResolveShortcut on plain files, links to files, links to shell objects without a path, and without OLE.
#include <gtest/gtest.h>

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <fstream>
#include <thread>
#include <type_traits>

#include "framework/Handles.h"
#include "shell/OleError.h"
#include "shell/ShortcutResolver.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

ComPtr<IShellLinkW> NewLink() {
  ComPtr<IShellLinkW> link;
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                             reinterpret_cast<void**>(link.Put())),
            S_OK);
  return link;
}

void SaveLink(IShellLinkW* link, const std::filesystem::path& where) {
  ComPtr<IPersistFile> file;
  ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put())), S_OK);
  ASSERT_EQ(file->Save(where.c_str(), TRUE), S_OK);
}

std::filesystem::path MakeFile(const std::filesystem::path& path) {
  std::ofstream(path) << "content";
  return path;
}

class ShortcutTest : public testing::Test {
 protected:
  testsupport::ScratchFolder folder_;
};

TEST_F(ShortcutTest, PlainFilesAndMissingFilesComeBackUnchanged) {
  const std::filesystem::path plain = MakeFile(folder_.Path() / L"notes.txt");
  EXPECT_EQ(ResolveShortcut(plain.wstring()), plain.wstring());
  const std::wstring missing = (folder_.Path() / L"missing.lnk").wstring();
  EXPECT_EQ(ResolveShortcut(missing), missing);
  EXPECT_EQ(ResolveShortcut(L""), L"");
}

TEST_F(ShortcutTest, LinkToAFileGivesTheTargetPath) {
  // Plain, with blanks and Chinese characters, and a program: each target comes back as it is.
  for (const wchar_t* name : {L"target.txt", L"link target \u6807\u7b7e.txt", L"launch me \u6807.exe"}) {
    const std::filesystem::path target = MakeFile(folder_.Path() / name);
    ComPtr<IShellLinkW> link = NewLink();
    ASSERT_TRUE(link);
    ASSERT_EQ(link->SetPath(target.c_str()), S_OK);
    const std::filesystem::path lnk = folder_.Path() / (std::wstring(name) + L".lnk");
    SaveLink(link.Get(), lnk);

    const std::filesystem::path resolved = ResolveShortcut(lnk.wstring());
    ASSERT_FALSE(resolved.empty()) << lnk.wstring();
    EXPECT_TRUE(std::filesystem::exists(resolved)) << resolved.wstring();
    EXPECT_TRUE(std::filesystem::equivalent(resolved, target)) << resolved.wstring();
  }
}

TEST_F(ShortcutTest, LinkToAShellObjectWithoutAPathGivesAnEmptyString) {
  PIDLIST_ABSOLUTE controlPanel = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_CONTROLS, &controlPanel), S_OK);
  ComPtr<IShellLinkW> link = NewLink();
  ASSERT_TRUE(link);
  const HRESULT set = link->SetIDList(controlPanel);
  CoTaskMemFree(controlPanel);
  ASSERT_EQ(set, S_OK);
  const std::filesystem::path lnk = folder_.Path() / L"control panel.lnk";
  SaveLink(link.Get(), lnk);

  EXPECT_EQ(ResolveShortcut(lnk.wstring()), L"");
}

static_assert(std::is_base_of_v<std::runtime_error, EOleError>);

TEST(ShortcutWithoutOle, FailureToCreateTheLinkObjectIsAnOleError) {
  // A thread that never initialised COM cannot create the shell-link object.
  bool thrown = false;
  std::wstring message;
  HRESULT code = S_OK;
  std::thread worker([&] {
    try {
      ResolveShortcut(L"C:\\windows\\win.ini");
    } catch (const EOleError& e) {
      thrown = true;
      message = e.Message();
      code = e.Code();
    }
  });
  worker.join();
  EXPECT_TRUE(thrown);
  EXPECT_TRUE(FAILED(code));
  EXPECT_NE(message.find(L"ShellLink"), std::wstring::npos) << message;
}

}  // namespace
