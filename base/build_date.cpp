#include "base/build_date.h"

const char kBuildDate[] = "Abr 25, 2000";
