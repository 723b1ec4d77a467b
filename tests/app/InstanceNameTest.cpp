// The running instance's name: every spelling of one folder gives one name, other folders other names;
// and the folder a start works in, however it was started.
#include "app/InstanceName.h"
#include "app/WorkingFolderLogic.h"
#include "xml/ConfigFormat.h"

#include <gtest/gtest.h>

namespace {

TEST(InstanceNameTest, SpellingsOfOneFolderShareANameAndOtherFoldersDoNot) {
  const std::wstring name = InstanceName(L"C:\\Users\\Li\\AppData\\Roaming\\Vantel");
  for (const wchar_t* same :
       {L"c:\\users\\li\\appdata\\roaming\\vantel", L"C:/Users/Li/AppData/Roaming/Vantel/",
        L"C:\\Users\\Li\\AppData\\Roaming\\Vantel\\\\", L"\\\\?\\C:\\Users\\Li\\AppData\\Roaming\\Vantel"}) {
    EXPECT_EQ(InstanceName(same), name) << same;
  }
  for (const wchar_t* other :
       {L"C:\\Users\\Li\\AppData\\Roaming\\Vantel2", L"D:\\Users\\Li\\AppData\\Roaming\\Vantel",
        L"C:\\Users\\Li\\AppData\\Roaming"}) {
    EXPECT_NE(InstanceName(other), name) << other;
  }
  EXPECT_EQ(InstanceName(L"\\\\?\\UNC\\server\\share\\Vantel"), InstanceName(L"\\\\SERVER\\share\\vantel\\"));
}

TEST(InstanceNameTest, ALongPathGivesAShortName) {
  const std::wstring name = InstanceName(std::wstring(L"C:\\") + std::wstring(30000, L'x'));
  EXPECT_EQ(name.size(), 7u + 16u);
  EXPECT_EQ(name.rfind(L"Vantel-", 0), 0u);
  EXPECT_EQ(name.find_first_not_of(L"0123456789ABCDEF", 7), std::wstring::npos);
}

TEST(WorkingFolderTest, AnInstalledCopyWorksInItsApplicationDataFolderHoweverItIsStarted) {
  const std::wstring roaming = L"C:\\Users\\Li\\AppData\\Roaming", local = L"C:\\Users\\Li\\AppData\\Local";
  struct Case {
    const char* start;
    TStartFolders folders;
    TProgramFolders expected;
  };
  const Case cases[] = {
      {"portable, started in its folder",
       {L"D:\\Tools\\Vantel", false, roaming, local},
       {L"D:\\Tools\\Vantel", L"D:\\Tools\\Vantel", false}},
      {"portable, from a shortcut into another folder",
       {L"E:\\", false, roaming, local},
       {L"E:\\", L"E:\\", false}},
      {"installed, from its shortcut",
       {roaming + L"\\Vantel", true, roaming, local},
       {roaming + L"\\Vantel", local + L"\\Vantel", true}},
      {"installed, its exe in the program folder",
       {local + L"\\Programs\\Vantel", true, roaming, local},
       {roaming + L"\\Vantel", local + L"\\Vantel", true}},
      {"installed, from a console elsewhere",
       {L"C:\\Windows\\System32", true, roaming + L"\\", local},
       {roaming + L"\\Vantel", local + L"\\Vantel", true}},
      {"installed, no application data", {L"D:\\Work", true, L"", L""}, {L"D:\\Work", L"D:\\Work", false}},
  };
  for (const Case& c : cases) {
    const TProgramFolders folders = ResolveProgramFolders(c.folders);
    EXPECT_EQ(folders.Working, c.expected.Working) << c.start;
    EXPECT_EQ(folders.Log, c.expected.Log) << c.start;
    EXPECT_EQ(folders.Installed, c.expected.Installed) << c.start;
  }
  EXPECT_EQ(PathInFolder(L"E:\\", ConfigFormat::FileName), L"E:\\SystemConfig.xml");
  EXPECT_EQ(PathInFolder(L"D:\\Tools\\Vantel", ConfigFormat::FileName),
            L"D:\\Tools\\Vantel\\SystemConfig.xml");
}

}  // namespace
