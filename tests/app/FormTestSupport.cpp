// The main-window test fixture: working folder, XML host, recording group.
#include "tests/app/FormTestSupport.h"

#include <fstream>
#include <iterator>

#include "framework/Forms.h"
#include "tests/support/TestSupport.h"

namespace apptest {

void TRecordingRingGroup::LoadConfigFile(const std::wstring& fileName, const TXmlHost& host) {
  log_.push_back("LoadConfigFile");
  document_.SetHost(host);  // for this read only: the host may go with the build
  try {
    document_.LoadFile(fileName);
  } catch (...) {
    document_.SetHost({});
    throw;
  }
  document_.SetHost({});
}

int TRecordingRingGroup::HasButtonRecords() {
  log_.push_back("HasButtonRecords");
  const TXmlNode* root = document_.RootElement();
  return root ? root->ChildCount() : 0;
}

void MainFormTest::SetUp() {
  previousFolder_ = std::filesystem::current_path();
  folder_ = std::make_unique<testsupport::ScratchFolder>();
  std::filesystem::current_path(folder_->Path());
  files_ = std::make_unique<TConfigBackupFileSystem>(winFiles_);
  host_ = std::make_unique<TXmlHostScope>(TXmlHost{&reporter, files_.get()});
  testsupport::ClearExceptions();
}

void MainFormTest::TearDown() {
  if (Application) Application->SetMainForm(nullptr);
  form.reset();
  host_.reset();
  std::filesystem::current_path(previousFolder_);
  folder_.reset();
}

TfrmVantelMain& MainFormTest::MakeForm() {
  form = std::make_unique<TfrmVantelMain>(Application,
                                          [this](TComponent*, const std::wstring&, const TXmlHost&) {
                                            return std::make_unique<TRecordingRingGroup>(log);
                                          });
  form->RunsAsAdministrator = [] { return false; };  // whatever the token the tests run with
  Application->SetMainForm(form.get());
  return *form;
}

void MainFormTest::WriteConfig(const std::string& bytes) {
  std::ofstream(Folder() / "SystemConfig.xml", std::ios::binary) << bytes;
}

std::string MainFormTest::ReadConfig() const {
  std::ifstream in(Folder() / "SystemConfig.xml", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool MainFormTest::ConfigExists() const {
  return std::filesystem::exists(Folder() / "SystemConfig.xml");
}

int MainFormTest::LogCount(const std::string& prefix) const {
  int count = 0;
  for (const std::string& line : log) count += line.rfind(prefix, 0) == 0 ? 1 : 0;
  return count;
}

}  // namespace apptest
