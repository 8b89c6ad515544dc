// Reading the product's registration from the registry.
#pragma once
#include "detect/registration.h"

void ReadRegistration(Registration* registration);
