// The launcher's build date, shown by "/vd" and "/bl" and written into the
// product key as its Build Level. A fixed text, so two builds give the same
// bytes.
#pragma once

extern const char kBuildDate[];
