#include "base/build_date.h"

#include "setup_version.h"

const char kBuildDate[] = SETUP_BUILD_DATE;
