// Writing one planned repair into the registry.
#pragma once
#include "repair/repair_plan.h"

WriteResult WriteValue(const RegistryWrite* write);
