// The launcher's build date, shown by "/vd" and "/bl" and written as the
// product's Build Level: a fixed text, so two builds give the same bytes.
#pragma once

extern const char kBuildDate[];
