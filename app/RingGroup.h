// TRingGroup: what the main window uses of its button group, the factory that makes the program's one, and
// the ring's build at start with the configuration's faults.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/BrokenConfigView.h"
#include "app/ConfigStartWait.h"
#include "xml/XmlHost.h"

class TComponent;
class TPopupMenu;
class TXmlControlButtonGroup;

// The operations start-up and the tray commands call on the XML-bound button group, in its own names.
// The main window owns the group through this interface, whichever group it is handed. The
// configuration file is read through the host handed in (a start-up that cannot load it hands a view that
// shows it as absent); none is kept.
class TRingGroup {
 public:
  virtual ~TRingGroup() = default;
  virtual void LoadConfigFile(const std::wstring& fileName, const TXmlHost& host) = 0;
  // The DPI the ring is sized for; before the sizes.
  virtual void SetPixelsPerInch(int dpi) { (void)dpi; }
  virtual void SetHeight(int height) = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetPopupMenu(TPopupMenu* menu) = 0;  // non-owning
  virtual int HasButtonRecords() = 0;
  virtual void LoadButtons() = 0;
  virtual void CreateDefaultSegments(const TXmlHost& host) = 0;
  virtual void ShowAll() = 0;
  virtual int SegmentCount() = 0;  // ring segments, the centre not counted
  // The XML-bound group itself, or nullptr for a stand-in.
  virtual TXmlControlButtonGroup* XmlGroup() { return nullptr; }
};

using TRingGroupFactory = std::function<std::unique_ptr<TRingGroup>(
    TComponent* owner, const std::wstring& fileName, const TXmlHost& host)>;

// The program's group: a TXmlControlButtonGroup created with (owner, file name, host).
std::unique_ptr<TRingGroup> CreateXmlRingGroup(TComponent* owner, const std::wstring& fileName,
                                               const TXmlHost& host);

// The configuration file as the start finds it, before anything reads it. A missing file whose copy a
// half-done save kept is offered back through `ask`. A file another program holds is waited for a moment;
// one that stays held is told once, and the start reads it as absent through Host().
class TConfigAtStart {
 public:
  TConfigAtStart(const std::wstring& fileName, const TAskYesNo& ask);
  // What the start's reads of the file go through.
  TXmlHost Host() { return held_ ? held_->Host() : TXmlHost{}; }

 private:
  std::optional<TBrokenConfigView> held_;
};

// What the ring's build takes from the window that owns it.
struct TRingPlace {
  TComponent* Owner = nullptr;
  TPopupMenu* Menu = nullptr;  // the segments' menu (non-owning)
  int PixelsPerInch = 96;      // of the monitor the ring opens on
  int Side96 = 180;            // the ring's side at 96 dpi
  // Runs once the group is sized, before its segments are made: the ring stands where the user left it.
  std::function<void(TXmlControlButtonGroup& group)> Placed;
};

// Makes the ring from the configuration file read through `host`: its records' buttons, or the default
// segments. A file that does not parse (`unloadable`: an earlier read found it so, or the build's own read
// throws) is handed to `fault` inside the handler, and the ring is built as from an empty file.
std::unique_ptr<TRingGroup> BuildRingAtStart(const TRingGroupFactory& factory, const std::wstring& fileName,
                                             const TXmlHost& host, const TRingPlace& place, bool unloadable,
                                             const std::function<void()>& fault);
