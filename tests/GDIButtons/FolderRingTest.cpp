// A folder segment opens its folder as a ring of its own: what the listing holds, and the rings' keys.
#include <gtest/gtest.h>

// clang-format off
#include "framework/Win32.h"
#include <shellapi.h>
// clang-format on

#include <filesystem>
#include <string>
#include <vector>

#include "GDIButtons/FolderListing.h"
#include "GDIButtons/FolderRing.h"
#include "GDIButtons/FolderRings.h"
#include "tests/GDIButtons/DragButtonTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using dragtest::Ring;
using vantel::FolderSlot;
using vantel::FolderSlotKind;

class FolderRingTest : public dragtest::DragButtonTestBase {
 protected:
  // A folder of the scratch folder holding these files and sub-folders (a name ending in '\' is a folder).
  std::wstring Folder(const std::wstring& name, const std::vector<std::wstring>& entries) {
    const std::filesystem::path folder = folder_.Path() / name;
    std::filesystem::create_directories(folder);
    for (const std::wstring& entry : entries) {
      if (entry.ends_with(L'\\')) {
        std::filesystem::create_directories(folder / entry.substr(0, entry.size() - 1));
      } else {
        folder_.Write(name + L"\\" + entry, "x");
      }
    }
    return folder.wstring();
  }
};

std::wstring ShellName(const std::wstring& path) {
  SHFILEINFOW info{};
  SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME);
  return info.szDisplayName;
}

TEST_F(FolderRingTest, TheListingShowsWhatExplorerShowsInItsOrder) {
  const std::wstring mixed = Folder(
      L"mixed", {L"b10.txt", L"b2.txt", L"Zeta\\", L"alpha\\", L"seen.txt", L"hidden.txt", L"system.txt"});
  SetFileAttributesW((mixed + L"\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW((mixed + L"\\system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
  std::vector<std::wstring> many;
  for (int i = 1; i <= 30; ++i) many.push_back(L"f" + std::to_wstring(i) + L".txt");
  const std::wstring full = Folder(L"many", many);
  const std::wstring empty = Folder(L"empty", {});
  const std::wstring file = File(L"plain.txt");

  const TFolderListing listed = ListFolder(mixed);
  EXPECT_EQ(listed.Error, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(listed.Folder, mixed);
  EXPECT_EQ(listed.Slots, (std::vector<FolderSlot>{{FolderSlotKind::Entry, L"alpha", true},
                                                   {FolderSlotKind::Entry, L"Zeta", true},
                                                   {FolderSlotKind::Entry, L"b2.txt", false},
                                                   {FolderSlotKind::Entry, L"b10.txt", false},
                                                   {FolderSlotKind::Entry, L"seen.txt", false}}))
      << "folders first, numbers in Explorer's order, hidden and system entries left out";

  const TFolderListing crowded = ListFolder(full);
  ASSERT_EQ(crowded.Slots.size(), 24u);
  EXPECT_EQ(crowded.Slots[22].Name, L"f23.txt");
  EXPECT_EQ(crowded.Slots[23].Kind, FolderSlotKind::More);

  EXPECT_EQ(ListFolder(empty).Slots,
            (std::vector<FolderSlot>{{FolderSlotKind::Empty, L"（空文件夹）", false}}));

  for (const std::wstring& unreadable : {folder_.File(L"gone"), file}) {
    const TFolderListing failed = ListFolder(unreadable);
    EXPECT_NE(failed.Error, static_cast<DWORD>(ERROR_SUCCESS)) << unreadable;
    EXPECT_TRUE(failed.Slots.empty()) << unreadable;
    EXPECT_EQ(failed.Folder, unreadable);
  }
}

TEST_F(FolderRingTest, AFolderSegmentOpensItsRingTheKeysWalkItAndEscGoesBack) {
  const std::wstring box = Folder(L"box", {L"a.txt", L"b.txt", L"inner\\"});
  Folder(L"box\\inner", {L"deep.txt"});
  Ring ring(form_.get(), folder_, 4);
  ring.Segment(0).SetFileName(box);
  ring.Segment(1).SetFileName(File(L"plain.txt"));
  const std::wstring link = folder_.File(L"box.lnk");
  dragtest::SaveLink(box, link);
  ring.Segment(2).SetFileName(link);
  ASSERT_TRUE(ring.Segment(0).Expands()) << "a folder segment opens as a ring";
  EXPECT_TRUE(ring.Segment(2).Expands()) << "so does a shortcut to a folder";

  EXPECT_EQ(ListFolder(link).Folder, box) << "and its ring is its target's";
  EXPECT_FALSE(ring.Segment(1).Expands());
  dragtest::SaveLink(File(L"plain.txt"), folder_.File(L"plain.lnk"));
  ring.Segment(3).SetFileName(folder_.File(L"plain.lnk"));
  EXPECT_FALSE(ring.Segment(3).Expands()) << "a shortcut to a file opens the file";
  SetForegroundWindow(ring.Centre().Handle());
  ASSERT_TRUE(testsupport::PumpUntil([&] { return GetForegroundWindow() == ring.Centre().Handle(); }));
  ring.Group().FocusRing();
  auto key = [](WPARAM vk) { SendMessageW(GetFocus(), WM_KEYDOWN, vk, 0); };
  auto depth = [&] {
    TFolderRings* rings = ring.Group().OpenedFolderRings();
    return rings ? rings->Depth() : 0;
  };

  key(VK_SPACE);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return depth() == 1; })) << "Space opens the folder's ring";
  TFolderRing& first = *ring.Group().OpenedFolderRings()->Ring(1);
  ASSERT_EQ(first.Items().Count(), 3);
  const std::wstring names[] = {L"inner", L"a.txt", L"b.txt"};
  for (int i = 0; i < 3; ++i) {
    auto* entry = dynamic_cast<TDragGDIButton*>(first.Items().Items(i)->Button());
    EXPECT_EQ(entry->FileName(), box + L"\\" + names[i]);
    EXPECT_EQ(std::wstring(entry->FileInfo.szDisplayName), ShellName(entry->FileName()));
    EXPECT_TRUE(GetWindowLongPtrW(entry->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) << "above every window";
  }
  EXPECT_EQ(dynamic_cast<TDragGDIButton*>(first.CentreButton())->FileName(), box)
      << "the centre is the folder";
  EXPECT_EQ(GetFocus(), first.Items().Items(0)->Button()->Handle()) << "the keys are the new ring's";

  key(VK_SPACE);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return depth() == 2; })) << "a folder entry opens the next ring";
  key(VK_BACK);
  EXPECT_EQ(depth(), 1) << "Backspace closes the innermost ring";
  EXPECT_EQ(GetFocus(), first.Items().Items(0)->Button()->Handle()) << "and the keys go back below";
  key(VK_ESCAPE);
  EXPECT_EQ(depth(), 0) << "Esc closes the last one";
  EXPECT_EQ(GetFocus(), ring.Segment(0).Handle()) << "the keys are the main ring's again";
  EXPECT_EQ(GetForegroundWindow(), ring.Segment(0).Handle());

  // Opened again, the closed ring shows at once with its windows as they were; it stays while the folder is
  // as it was, and gives way to a ring of the folder as it is now.
  const HWND firstEntry = first.Items().Items(0)->Button()->Handle();
  auto entry = [&](int i) { return ring.Group().OpenedFolderRings()->Ring(1)->Items().Items(i)->Button(); };
  for (const bool changed : {false, true}) {
    if (changed) Folder(L"box", {L"c.txt"});
    key(VK_SPACE);
    ASSERT_EQ(depth(), 1) << "shown at once";
    EXPECT_EQ(entry(0)->Handle(), firstEntry);
    EXPECT_TRUE(IsWindowVisible(firstEntry));
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !ring.Group().OpenedFolderRings()->Listing(); }));
    ASSERT_EQ(depth(), 1);
    EXPECT_EQ(ring.Group().OpenedFolderRings()->Ring(1)->Items().Count(), changed ? 4 : 3);
    EXPECT_EQ(entry(0)->Handle() == firstEntry, !changed);
    EXPECT_EQ(GetFocus(), entry(0)->Handle()) << "the keys are the standing ring's";
    key(VK_ESCAPE);
  }

  // A folder that went meanwhile: the ring kept for it closes, one message names it, and the keys stay.
  std::filesystem::remove_all(box);
  key(VK_SPACE);
  ASSERT_TRUE(testsupport::PumpUntil([] { return !testsupport::RecordedExceptions().empty(); }));
  EXPECT_NE(testsupport::RecordedExceptions().back().find(L"无法打开文件夹“" + box + L"”"),
            std::wstring::npos);
  EXPECT_EQ(depth(), 0);
  EXPECT_EQ(GetFocus(), ring.Segment(0).Handle());
  EXPECT_TRUE(dragtest::Recorded().stores.empty()) << "nothing of it is stored";
  testsupport::ClearExceptions();
}

}  // namespace
