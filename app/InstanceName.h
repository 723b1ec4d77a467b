// The name one running Vantel holds for its working folder: the same for every spelling of one folder.
#pragma once

#include <string>
#include <string_view>

// "Vantel-" and 16 hexadecimal digits: a hash of the folder's full path with the separators unified
// ('/' as '\'), a leading "\\?\" and trailing separators dropped and ASCII letters upper-cased, so a
// path of any length gives a short name. The caller upper-cases the other letters with the system's
// case mapping first, as the file system compares them.
std::wstring InstanceName(std::wstring_view fullPath);
