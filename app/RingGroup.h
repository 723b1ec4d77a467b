// TRingGroup: what the main window uses of its button group, and the factory that makes the program's one.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "xml/XmlHost.h"

class TComponent;
class TPopupMenu;
class TXmlControlButtonGroup;

// The operations start-up and the tray commands call on the XML-bound button group, in its own names.
// The main window owns the group through this interface; tests can hand the window a group of theirs. The
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
