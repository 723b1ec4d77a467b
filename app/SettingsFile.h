// TSettingsFile: the program's own settings file beside SystemConfig.xml, read once and written whole.
#pragma once

#include <string>

#include "app/SettingsFormat.h"
#include "xml/XmlHost.h"

class TSettingsFile {
 public:
  // `files`: how the file is read and written atomically (non-owning).
  TSettingsFile(std::wstring name, TXmlFileSystem& files);

  // Reads the file; missing, unreadable or not ours: the defaults, and no message (a start goes on).
  void Load();
  const vantel::Settings& Settings() const { return settings_; }
  // Stores the settings: the whole file, atomically. A file that did not read is first renamed aside
  // (never written over); when that fails, nothing is written. False when the settings were not stored.
  bool Save(const vantel::Settings& settings);
  const std::wstring& Name() const { return name_; }

 private:
  std::wstring name_;
  TXmlFileSystem& files_;
  vantel::Settings settings_;
  bool keepAside_ = false;  // the file there is not one we read
};
