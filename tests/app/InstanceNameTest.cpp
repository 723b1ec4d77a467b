// The running instance's name: every spelling of one folder gives one name, other folders other names.
#include "app/InstanceName.h"

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

}  // namespace
