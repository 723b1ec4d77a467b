// The one place the framework includes <windows.h>, with min/max macros off (full headers: GDI+ and OLE need
// them).
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
