// Helpers of the XML-bound group and button tests: a working folder per test, the example file, drops.
#pragma once

#include <gtest/gtest.h>

#include <chrono>

#include <memory>
#include <string>
#include <vector>

#include "GDIButtons/XmlControlButtonGroup.h"
#include "GDIButtons/XmlControlDragGDIButton.h"
#include "framework/WinFileSystem.h"
#include "tests/GDIButtons/ButtonTestSupport.h"
#include "xml/XmlHost.h"

namespace xmltest {

inline constexpr wchar_t kConfig[] = L"SystemConfig.xml";

inline const std::string kGuid1 = "{0A1B2C3D-0000-4000-8000-0123456789AB}";
inline const std::string kGuid2 = "{0A1B2C3D-0000-4000-8000-0123456789AC}";
inline const std::string kGuid3 = "{0A1B2C3D-0000-4000-8000-0123456789AD}";

// Lines ended by CR LF, as the document writes them.
std::string Lines(const std::vector<std::string>& lines);
inline const std::string kDeclaration = R"(<?xml version="1.0" encoding="GB2312"?>)";
// The configuration of the format's worked example: the centre's notepad, a shortcut, an empty segment.
std::string Example();
// `text` with line `index` (from 0) replaced, or removed when `replacement` is null.
std::string WithLine(const std::string& text, int index, const char* replacement);
// `text` with `line` added before the root's end tag.
std::string WithLineBeforeEnd(const std::string& text, const std::string& line);
// A file of these record lines under a root with a DefaultColor.
std::string ConfigWithRecords(const std::vector<std::string>& records);

// The XML-bound button with the mouse buttons of a drag-enter set by the test, and its life recorded.
class TTestXmlButton : public TXmlControlDragGDIButton {
 public:
  explicit TTestXmlButton(TComponent* owner, const TButtonColors& colors = {},
                          TButtonStart start = TButtonStart::Shown);
  ~TTestXmlButton() override;
  static bool leftHeld, rightHeld;
  // Buttons destroyed since the test began.
  static std::vector<const TCustomGDIButton*>& Destroyed();
  // Whether `button` has been destroyed (in the order Destroyed() keeps).
  static bool WasDestroyed(const TCustomGDIButton* button) {
    for (const TCustomGDIButton* gone : Destroyed())
      if (gone == button) return true;
    return false;
  }

 protected:
  bool MouseButtonHeld(int virtualKey) const override;
};

// The program's group with test buttons and, only when asked for, the hint window (a desktop-sized
// window takes Wine seconds to destroy).
// The shell's answers in time however busy the machine: rings that compare pictures need every one.
inline TShellSource PatientShell() {
  return {{}, {std::chrono::seconds(30), std::chrono::seconds(120)}};
}

class TTestXmlGroup : public TXmlControlButtonGroup {
 public:
  TTestXmlGroup(TComponent* owner, const std::wstring& xmlFileName, bool withHint = false,
                TShellSource shell = PatientShell());
};

class TRecordingReporter : public TXmlReporter {
 public:
  void ShowMessage(const std::wstring& text) override { messages.push_back(text); }
  std::vector<std::wstring> messages;
};

// Every test: its own working folder holding its SystemConfig.xml; the form is the main window; the
// document's messages are recorded; files go through the program's Windows file system.
class XmlControlTestBase : public buttontest::WindowTestBase {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the configuration file of the working folder, or reads it back.
  void WriteConfig(const std::string& bytes) const;
  std::string ReadConfig() const;
  bool ConfigExists() const;
  // A group built as start-up builds it: named, loaded, sized 180, then filled.
  std::unique_ptr<TTestXmlGroup> StartGroup(bool withHint = false, TShellSource shell = PatientShell());
  // A drop of `files` through the button's drop target, the drag having entered with these buttons.
  void Drop(TDragGDIButton& button, const std::vector<std::wstring>& files, bool left, bool right = false);

  static TXmlControlDragGDIButton& Segment(const TXmlControlButtonGroup& group, int index);
  static TXmlControlDragGDIButton& Centre(const TXmlControlButtonGroup& group);

  buttontest::ScratchFolder folder_;
  TRecordingReporter reporter_;
  TWinXmlFileSystem files_;

 private:
  std::wstring savedDirectory_;
  std::unique_ptr<TXmlHostScope> hostScope_;  // the test's host while it runs
};

}  // namespace xmltest
