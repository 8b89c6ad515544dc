// The launcher's build date, shown by "/vd" and "/bl" and written as the
// product's Build Level.
#pragma once

extern const char kBuildDate[];
