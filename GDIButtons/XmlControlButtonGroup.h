// TXmlControlButtonGroup: the button group the program creates, filled from SystemConfig.xml.
#pragma once

#include <memory>
#include <string>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/GDIButtonClass.h"
#include "GDIButtons/ShellInfoPrefetch.h"
#include "xml/ConfigFormat.h"
#include "xml/XmlDocument.h"

class TPopupMenu;
class TDragGDIButton;
class TShellInfoPrefetch;
namespace ConfigFormat {
struct TRingPlan;
}

// How the last LoadConfigFile went.
enum class TConfigLoadState {
  NotLoaded,    // LoadConfigFile has not run
  Loaded,       // the file was read and parsed
  Missing,      // there is no such file (reported): a first start
  Unreadable,   // the file is there but could not be opened (reported)
  Unparseable,  // the file does not parse: LoadConfigFile threw
};

class TXmlControlButtonGroup : public TGDICustomButtonGroup {
 public:
  // The group without a file name: the centre button reads its colours from no file (black).
  explicit TXmlControlButtonGroup(TComponent* owner);
  // The name is in place before the inherited construction runs: the centre button is made with the
  // colours read from that file (through `host`). Segment buttons are TXmlControlDragGDIButton, the hint
  // window a THintGDIButton. The buttons store through `saveHost` (null members: the default host's), never
  // through `host`, which may be a view that reads a held or broken file as absent.
  TXmlControlButtonGroup(TComponent* owner, const std::wstring& xmlFileName, const TXmlHost& host = {},
                         const TXmlHost& saveHost = {});
  // Frees the document, then the inherited destructor runs.
  ~TXmlControlButtonGroup() override;

  // The menu start-up hands over (non-owning); the group itself does not use it.
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }

  // XmlFileName := name, the centre button's too, then the group's document is loaded from it (through
  // `host`). A missing or unreadable file is reported and leaves the document as it was; a file that does
  // not parse throws EXmlError (LoadState() then says so). The group never writes this document.
  void LoadConfigFile(const std::wstring& name, const TXmlHost& host = {});
  TConfigLoadState LoadState() const { return loadState_; }
  // The file is there but could not be read or parsed: the caller keeps a copy of it and tells the
  // user. (The buttons reload the file before every store and delete, so neither can overwrite it.)
  bool LoadFailed() const {
    return loadState_ == TConfigLoadState::Unreadable || loadState_ == TConfigLoadState::Unparseable;
  }

  // Children of the loaded root: start-up calls LoadButtons when not 0, CreateDefaultSegments otherwise.
  int HasButtonRecords() const;
  // Four empty segments with the group's file name, without delete entries; ShowAll is not called. Their
  // buttons read their colours through `host` unless the group's document has them.
  void CreateDefaultSegments(const TXmlHost& host = {});
  // A segment per kind-0 record in file order (its file, GUID, the root's DefaultColor, a delete
  // entry); a kind-1 record gives the centre its file and GUID; other kinds are skipped. Fewer than
  // five records of any kind are topped up with empty segments (with delete entries) to five. Then
  // ShowAll. All of it in one TRingLoad (RingLoad.h): drawing held, the prefetch's answers handed to each
  // file, windows made hidden until each has its picture.
  void LoadButtons();

  TXmlDocument& Document() const { return *document_; }

 protected:
  // For groups whose buttons are a class derived from TXmlControlDragGDIButton, and whose hint window
  // is another class or none; a load asks the shell through `shell`.
  TXmlControlButtonGroup(TComponent* owner, const std::wstring& xmlFileName, TGDIButtonClass buttonClass,
                         THintWindowClass hintClass, const TXmlHost& host = {}, const TXmlHost& saveHost = {},
                         TShellSource shell = {});

 private:
  // Adds a segment with the group's file name, its button made with `inputs`; its button, or nullptr when
  // it is not a drop button.
  TDragGDIButton* AddSegment(const TButtonInputs& inputs);
  // LoadButtons' additions: the records' segments, the centre's file, the empty segments up to five. The
  // buttons are made with `inputs` and take their files' shell answers from `answers` (may be null).
  void AddRecordButtons(const ConfigFormat::TRingPlan& plan, const TButtonInputs& inputs, TARGB normalColor,
                        TShellInfoPrefetch* answers);
  // What a new segment receives: the loaded document's colours, so that it need not read the file again
  // (none when the file did not load: it reads them through `host`).
  TButtonInputs SegmentInputs(const TXmlHost& host = {}) const;
  // Starts asking the shell about the loaded records' files, for LoadButtons (nothing when it cannot).
  void PrefetchShellInfo() noexcept;

  TPopupMenu* popupMenu_ = nullptr;
  TXmlHost saveHost_;   // what the buttons store through
  TShellSource shell_;  // how a load asks the shell
  std::unique_ptr<TXmlDocument> document_;
  TConfigLoadState loadState_ = TConfigLoadState::NotLoaded;
  // The shell's answers for the files of the last load, looked up while the ring is being set up.
  std::unique_ptr<TShellInfoPrefetch> prefetch_;
};
