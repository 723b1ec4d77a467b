// Includes GDI+ correctly under WIN32_LEAN_AND_MEAN and NOMINMAX (it needs objidl.h first).
#pragma once

#include "framework/Win32.h"
// clang-format off
#include <objidl.h>
#include <gdiplus.h>
// clang-format on
