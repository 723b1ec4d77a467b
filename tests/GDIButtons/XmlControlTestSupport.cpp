// Helpers of the XML-bound group and button tests.
#include "tests/GDIButtons/XmlControlTestSupport.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "GDIButtons/HintGDIButton.h"
#include "GDIButtons/ShellInfoPrefetch.h"
#include "framework/ProcessPaths.h"
#include "framework/Application.h"
#include "tests/shell/TestDataObject.h"
#include "tests/support/TestSupport.h"

namespace xmltest {

std::string Lines(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& line : lines) s += line + "\r\n";
  return s;
}

std::string Example() {
  return Lines({
      kDeclaration,
      R"(<Settings HotColor="-65536" DefaultColor="-16744193">)",
      R"(  <ButtonInfo ButonType="1" ButtonFilePath="C:\Windows\notepad.exe" ButtonGuid="{0A1B2C3D-0000-4000-8000-0123456789AB}"/>)",
      R"(  <ButtonInfo ButonType="0" ButtonFilePath="D:\Tools &amp; Games\Player.lnk" ButtonGuid="{0A1B2C3D-0000-4000-8000-0123456789AC}"/>)",
      R"(  <ButtonInfo ButonType="0" ButtonGuid="{0A1B2C3D-0000-4000-8000-0123456789AD}"/>)",
      "</Settings>",
  });
}

std::string WithLine(const std::string& text, int index, const char* replacement) {
  std::string s = text;
  std::size_t begin = 0;
  for (int i = 0; i < index; ++i) begin = s.find("\r\n", begin) + 2;
  const std::size_t end = s.find("\r\n", begin);
  if (replacement) return s.replace(begin, end - begin, replacement);
  return s.erase(begin, end + 2 - begin);
}

std::string WithLineBeforeEnd(const std::string& text, const std::string& line) {
  std::string s = text;
  return s.insert(s.rfind("</"), line + "\r\n");
}

std::string ConfigWithRecords(const std::vector<std::string>& records) {
  std::vector<std::string> lines{kDeclaration, R"(<Settings DefaultColor="-16744193">)"};
  for (const std::string& record : records) lines.push_back("  " + record);
  lines.push_back("</Settings>");
  return Lines(lines);
}

bool TTestXmlButton::leftHeld = false;
bool TTestXmlButton::rightHeld = false;

TTestXmlButton::TTestXmlButton(TComponent* owner, const TButtonColors& colors, TButtonStart start)
    : TXmlControlDragGDIButton(owner, colors, start, RecordedPushes()) {}

TTestXmlButton::~TTestXmlButton() {
  Destroyed().push_back(this);
}

std::vector<const TCustomGDIButton*>& TTestXmlButton::Destroyed() {
  static std::vector<const TCustomGDIButton*> destroyed;
  return destroyed;
}

bool TTestXmlButton::MouseButtonHeld(int virtualKey) const {
  return virtualKey == VK_LBUTTON ? leftHeld : virtualKey == VK_RBUTTON ? rightHeld : false;
}

TTestXmlGroup::TTestXmlGroup(TComponent* owner, const std::wstring& xmlFileName, bool withHint,
                             TShellSource shell)
    : TXmlControlButtonGroup(
          owner, xmlFileName, GDIButtonClass<TTestXmlButton>(),
          withHint ? HintWindowClass<THintGDIButton>(RecordedPushes()) : THintWindowClass(), {}, {},
          std::move(shell)) {}

void XmlControlTestBase::SetUp() {
  WindowTestBase::SetUp();
  TTestXmlButton::Destroyed().clear();
  TTestXmlButton::leftHeld = TTestXmlButton::rightHeld = false;
  Application->SetMainForm(form_.get());
  savedDirectory_ = CurrentFolder();
  ASSERT_TRUE(SetCurrentDirectoryW(folder_.File(L".").c_str()));
  hostScope_ = std::make_unique<TXmlHostScope>(TXmlHost{&reporter_, &files_});
}

void XmlControlTestBase::TearDown() {
  // Queued deletions of this test's buttons run (or find their button gone) before the next test.
  testsupport::PumpFor(20);
  hostScope_.reset();
  SetCurrentDirectoryW(savedDirectory_.c_str());
  Application->SetMainForm(nullptr);
  WindowTestBase::TearDown();
}

void XmlControlTestBase::WriteConfig(const std::string& bytes) const {
  folder_.Write(kConfig, bytes);
}

std::string XmlControlTestBase::ReadConfig() const {
  std::ifstream in(std::filesystem::path(folder_.File(kConfig)), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool XmlControlTestBase::ConfigExists() const {
  return std::filesystem::exists(folder_.File(kConfig));
}

std::unique_ptr<TTestXmlGroup> XmlControlTestBase::StartGroup(bool withHint, TShellSource shell) {
  auto group = std::make_unique<TTestXmlGroup>(form_.get(), kConfig, withHint, std::move(shell));
  group->LoadConfigFile(kConfig);
  group->SetHeight(180);
  group->SetWidth(180);
  if (group->HasButtonRecords() != 0) {
    group->LoadButtons();
  } else {
    group->CreateDefaultSegments();
  }
  return group;
}

void XmlControlTestBase::Drop(TDragGDIButton& button, const std::vector<std::wstring>& files, bool left,
                              bool right) {
  TTestXmlButton::leftHeld = left;
  TTestXmlButton::rightHeld = right;
  TestDataObject data(CF_HDROP, TestDataObject::DropFiles(files));
  IDropTarget* target = button.DropTarget().DropTarget();
  ASSERT_NE(target, nullptr);
  const POINTL point{button.Left() + button.Width() / 2, button.Top() + button.Height() / 2};
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  ASSERT_EQ(target->DragEnter(&data, left ? MK_LBUTTON : right ? MK_RBUTTON : 0, point, &effect), S_OK);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  ASSERT_EQ(target->Drop(&data, 0, point, &effect), S_OK);
  TTestXmlButton::leftHeld = TTestXmlButton::rightHeld = false;
}

TXmlControlDragGDIButton& XmlControlTestBase::Segment(const TXmlControlButtonGroup& group, int index) {
  auto* button = dynamic_cast<TXmlControlDragGDIButton*>(group.Items().Items(index)->Button());
  EXPECT_NE(button, nullptr);
  return *button;
}

TXmlControlDragGDIButton& XmlControlTestBase::Centre(const TXmlControlButtonGroup& group) {
  auto* button = dynamic_cast<TXmlControlDragGDIButton*>(group.CentreButton());
  EXPECT_NE(button, nullptr);
  return *button;
}

}  // namespace xmltest
