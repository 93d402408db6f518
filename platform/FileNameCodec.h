// The lossless file-name codec lives in the core library (core/FileNameCodec.h), where the path
// helpers below the platform layer use it too; this header keeps the platform spelling working.
#pragma once

#include "core/FileNameCodec.h"
