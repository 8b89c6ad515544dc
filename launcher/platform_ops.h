// The launcher's operations bound to the real system.
#pragma once
#include "launcher/dispatch.h"

extern const LauncherOps kPlatformOps;
