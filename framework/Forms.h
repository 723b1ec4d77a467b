// The forms unit: TForm, TApplication and TScreen together.
#pragma once

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Screen.h"
