// Helpers of the main-window tests: a working folder of its own, a recording XML host and a stand-in group.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/ConfigBackup.h"
#include "app/VTMainForm.h"
#include "framework/WinFileSystem.h"
#include "tests/app/AppLogicTestSupport.h"
#include "tests/support/ScratchFolder.h"
#include "xml/XmlDocument.h"

namespace apptest {

// A button group that records what the window asks of it, in order, and reads the configuration as the
// real one does (so an unloadable file fails here the same way).
class TRecordingRingGroup final : public TRingGroup {
 public:
  explicit TRecordingRingGroup(std::vector<std::string>& log) : log_(log) { log_.push_back("Create"); }
  ~TRecordingRingGroup() override { log_.push_back("Destroy"); }
  void LoadConfigFile(const std::wstring& fileName, const TXmlHost& host) override;
  void SetHeight(int height) override { log_.push_back("SetHeight " + std::to_string(height)); }
  void SetWidth(int width) override { log_.push_back("SetWidth " + std::to_string(width)); }
  void SetPopupMenu(TPopupMenu* menu) override {
    PopupMenu = menu;
    log_.push_back("SetPopupMenu");
  }
  int HasButtonRecords() override;
  void LoadButtons() override { log_.push_back("LoadButtons"); }
  void CreateDefaultSegments(const TXmlHost&) override {
    segments_ = 4;
    log_.push_back("CreateDefaultSegments");
  }
  void ShowAll() override { log_.push_back("ShowAll"); }
  int SegmentCount() override { return segments_; }

  TPopupMenu* PopupMenu = nullptr;

 private:
  std::vector<std::string>& log_;
  TXmlDocument document_;
  int segments_ = 0;
};

// Each test in a fresh working folder with its own SystemConfig.xml, messages recorded, the window made
// with the recording group and set as the application's main form.
class MainFormTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Makes the window (the tray icon appears); Show() runs FormShow as the message loop would.
  TfrmVantelMain& MakeForm();
  void WriteConfig(const std::string& bytes);
  std::string ReadConfig() const;
  bool ConfigExists() const;
  std::filesystem::path Folder() const { return folder_->Path(); }
  // Recorded lines of the group that start with `prefix`.
  int LogCount(const std::string& prefix) const;
  TRecordingRingGroup* Group() const {
    return form ? dynamic_cast<TRecordingRingGroup*>(form->ButtonGroup()) : nullptr;
  }

  std::vector<std::string> log;
  TRecordingReporter reporter;
  std::unique_ptr<TfrmVantelMain> form;

 private:
  std::unique_ptr<testsupport::ScratchFolder> folder_;
  std::filesystem::path previousFolder_;
  TWinXmlFileSystem winFiles_;
  std::unique_ptr<TConfigBackupFileSystem> files_;
  std::unique_ptr<TXmlHostScope> host_;
};

inline constexpr char kRedBlueConfig[] =
    "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n"
    "<Settings HotColor=\"-65536\" DefaultColor=\"-16776961\">\r\n"
    "<ButtonInfo ButonType=\"0\" ButtonFilePath=\"C:\\a.txt\" "
    "ButtonGuid=\"{11111111-2222-3333-4444-555555555555}\"/>\r\n"
    "</Settings>\r\n";

}  // namespace apptest
