// Forwards to the text codec's own folder, for the files that still include it here.
#pragma once

#include "framework/text/TextCodec.h"
