// Starting the program: without a configuration file, with the documented example file, with a broken file.
#include <gtest/gtest.h>

#include <memory>

#include "tests/e2e/ProgramTest.h"

namespace e2e {
namespace {

const std::wstring kMissingFileMessage =
    L"SystemConfig.xml\u6587\u4ef6\u4e0d\u5b58\u5728!";  // "...文件不存在!"

// Every name in the folder.
std::vector<std::wstring> FolderEntries(const std::filesystem::path& folder) {
  std::vector<std::wstring> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().wstring());
  return names;
}

using StartupTest = ProgramTest;

TEST_F(StartupTest, FirstStartReportsTheMissingFileSevenTimesThenShowsTheDefaultRingAndWritesNothing) {
  VantelProcess& program = Start();
  const auto texts = AnswerMessageBoxes(program, 1500, [&] { return program.RingWindows().size() >= 5; });
  ASSERT_TRUE(program.Running());
  // The main window's colour boxes, the centre button, the group's own load, then each default segment.
  EXPECT_EQ(texts.size(), 7u);
  for (const std::wstring& text : texts) EXPECT_EQ(text, kMissingFileMessage);

  const RECT ring = WaitForRing(5);
  const int desktopWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN),
            desktopHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  EXPECT_EQ(ring.right - ring.left, 180);
  EXPECT_EQ(ring.bottom - ring.top, 180);
  EXPECT_EQ(ring.left, (desktopWidth - 180) / 2);
  EXPECT_EQ(ring.top, (desktopHeight - 180) / 2);

  WaitUntilIdle();
  // No configuration: only the log of what the user was told.
  EXPECT_TRUE(WaitFor([&] {
    return FolderEntries(folder_.Path()) == std::vector<std::wstring>{L"Vantel.log"};
  })) << "a first start writes nothing else";
}

TEST_F(StartupTest, TheDocumentedExampleGivesFourSegmentsAndIsNotRewritten) {
  const std::string example =
      "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n"
      "<Settings HotColor=\"-65536\" DefaultColor=\"-16744193\">\r\n"
      "  <ButtonInfo ButonType=\"1\" ButtonFilePath=\"C:\\Windows\\notepad.exe\" "
      "ButtonGuid=\"{0A1B2C3D-0000-4000-8000-0123456789AB}\"/>\r\n"
      "  <ButtonInfo ButonType=\"0\" ButtonFilePath=\"D:\\Tools &amp; Games\\Player.lnk\" "
      "ButtonGuid=\"{0A1B2C3D-0000-4000-8000-0123456789AC}\"/>\r\n"
      "  <ButtonInfo ButonType=\"0\" ButtonGuid=\"{0A1B2C3D-0000-4000-8000-0123456789AD}\"/>\r\n"
      "</Settings>\r\n";
  WriteBytes(folder_.Config(), example);

  VantelProcess& program = Start();
  const RECT ring = WaitForRing(5);  // the centre and four segments
  WaitUntilIdle();
  EXPECT_TRUE(AnswerMessageBoxes(program, 300).empty()) << "nothing to report about an existing file";
  EXPECT_EQ(program.RingWindows().size(), 5u);
  EXPECT_EQ(ReadBytes(folder_.Config()), example) << "nothing is rewritten at start";
  EXPECT_EQ(FolderEntries(folder_.Path()), std::vector<std::wstring>{L"SystemConfig.xml"});

  // The segments show the file's normal colour, blue-azure (00 80 FF): blue over red, green in between.
  auto azure = [&](const Screenshot& s) {
    for (int i = 0; i < 4; ++i) {
      const POINT p = AnglePoint(ring, i * 90 + 20);
      const Screenshot::Rgb c = s.At(p.x, p.y);
      if (c.b <= c.g || c.g <= c.r) return false;
    }
    return true;
  };
  const Screenshot shot = ScreenWhen(azure);
  for (int i = 0; i < 4; ++i) {
    const POINT p = AnglePoint(ring, i * 90 + 20);  // beside the middle, where an icon would be
    const Screenshot::Rgb c = shot.At(p.x, p.y);
    EXPECT_GT(c.b, c.g) << "segment " << i;
    EXPECT_GT(c.g, c.r) << "segment " << i;
  }
}

TEST_F(StartupTest, ABrokenFileIsReportedKeptByteForByteAndTheProgramStaysUsable) {
  const std::string broken =
      "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<Settings HotColor=\"-65536\"\r\n";
  WriteBytes(folder_.Config(), broken);

  VantelProcess& program = Start();
  const auto texts = AnswerMessageBoxes(program, 1500, [&] { return program.RingWindows().size() >= 5; });
  ASSERT_FALSE(texts.empty()) << "the error is shown";
  for (const std::wstring& text : texts) {
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text, kMissingFileMessage);
  }

  // Usable: the default ring, answering; the file untouched.
  WaitForRing(5);
  ASSERT_TRUE(program.Running());
  DWORD_PTR answer = 0;
  EXPECT_NE(SendMessageTimeoutW(program.MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0);
  WaitUntilIdle();
  EXPECT_EQ(ReadBytes(folder_.Config()), broken);
}

TEST_F(StartupTest, AFileHeldByAnotherProgramThroughTheStartIsToldOnceNamingItAndKept) {
  const std::string config =
      "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<Settings HotColor=\"-65536\">\r\n</Settings>\r\n";
  WriteBytes(folder_.Config(), config);
  // A sync or backup tool: open without sharing.
  std::unique_ptr<void, decltype(&CloseHandle)> holder(
      CreateFileW(folder_.Config().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
      &CloseHandle);
  ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);

  VantelProcess& program = Start();
  const auto texts = AnswerMessageBoxes(program, 1500, [&] { return program.RingWindows().size() >= 5; });
  ASSERT_EQ(texts.size(), 1u) << "one box, not one per load";
  EXPECT_NE(texts[0].find(folder_.Config().wstring()), std::wstring::npos) << "names the file";
  EXPECT_NE(texts[0].find(L"\u8bf7\u5173\u95ed"), std::wstring::npos)
      << "says to close the holder";  // 请关闭
  WaitForRing(5);
  ASSERT_TRUE(program.Running());
  WaitUntilIdle();
  holder.reset();
  EXPECT_EQ(ReadBytes(folder_.Config()), config);
}

}  // namespace
}  // namespace e2e
