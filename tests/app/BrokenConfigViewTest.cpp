// The start-up view of an unloadable configuration: absent and quiet for its scope, untouched on disk.
#include <gtest/gtest.h>

#include "app/BrokenConfigView.h"
#include "tests/app/AppLogicTestSupport.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"

namespace {

class BrokenConfigViewTest : public testing::Test {
 protected:
  apptest::TMemoryFileSystem files;
  apptest::TRecordingReporter reporter;
  TXmlHostScope host{TXmlHost{&reporter, &files}};
};

TEST_F(BrokenConfigViewTest, DocumentsLoadTheFileAsEmptyWithoutAnyMessage) {
  files.Files[L"SystemConfig.xml"] = "<Settings";
  {
    TBrokenConfigView view(L"SystemConfig.xml");
    TXmlDocument document(view.Host());
    EXPECT_NO_THROW(document.LoadFile(L"SystemConfig.xml"));
    ASSERT_NE(document.RootElement(), nullptr);
    EXPECT_EQ(document.RootElement()->ChildCount(), 0);
    EXPECT_TRUE(reporter.Messages.empty());
  }
  EXPECT_EQ(files.Files[L"SystemConfig.xml"], "<Settings");
}

TEST_F(BrokenConfigViewTest, OtherFilesAndTheirMessagesPassThrough) {
  files.Files[L"Other.xml"] = apptest::kGoodConfig;
  TBrokenConfigView view(L"SystemConfig.xml");
  TXmlDocument document(view.Host());
  document.LoadFile(L"Other.xml");
  EXPECT_EQ(document.RootElement()->GetAttribute("HotColor"), "-1");
  document.LoadFile(L"Missing.xml");
  EXPECT_EQ(reporter.Messages, std::vector<std::wstring>{L"Missing.xml文件不存在!"});
}

TEST_F(BrokenConfigViewTest, TheProcessHostIsLeftAsItWas) {
  files.Files[L"SystemConfig.xml"] = "<Settings";
  { TBrokenConfigView view(L"SystemConfig.xml"); }
  TXmlDocument document;
  EXPECT_THROW(document.LoadFile(L"SystemConfig.xml"), EXmlError);
  EXPECT_EQ(DefaultXmlHost().FileSystem, &files);
  EXPECT_EQ(DefaultXmlHost().Reporter, &reporter);
}
}  // namespace
