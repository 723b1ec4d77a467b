// The settings window under Wine.
#include "app/VTMainForm.h"

#include <gtest/gtest.h>
