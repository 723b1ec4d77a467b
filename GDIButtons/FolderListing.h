// What a folder's ring holds, read from the disk on a worker thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "GDIButtons/FolderRingLogic.h"
#include "framework/Win32.h"

struct TFolderListing {
  std::wstring Folder;                    // the folder listed: the item itself, or a shortcut's target
  std::vector<vantel::FolderSlot> Slots;  // the ring's segments (PlanFolderRing)
  DWORD Error = ERROR_SUCCESS;            // why the folder could not be read
};

// Lists `item` (a folder, or a shortcut to one) for its ring: the entries FindFirstFileEx finds, planned in
// Explorer's order (StrCmpLogicalW). A folder that cannot be read (no access, offline, gone, a shortcut
// that names no folder) gives its error and no slots. May wait long on a network folder: call it on a
// worker thread with COM initialised.
TFolderListing ListFolder(const std::wstring& item);

// How a listing is made (ListFolder unless replaced).
using TFolderLister = std::function<TFolderListing(const std::wstring& item)>;
