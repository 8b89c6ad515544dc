// What "/vd" shows: the launcher's version text and build date, taken from
// the header the build makes of the project's version and date.
#pragma once
#include "setup_version.h"

#define VERSION_REPORT_TEXT "VNR Build " SETUP_VERSION ", " SETUP_BUILD_DATE
