// Writing a planned value into the registry.
#pragma once
#include "repair/repair_plan.h"

int WriteValue(const RegistryWrite* write);
