// Reading the product's registration from the registry.
#pragma once
#include <windows.h>

#include "detect/registration.h"

// What is done with a key once a form of its path opens: returns the
// registry's status. It owns the key: it closes it, or keeps it.
typedef LONG (*KeyUse)(HKEY key, void* context);

// Hands the key by its trailing form to use, else by its plain form; returns
// the form that served, or -1 with *status the last failure.
int UseKeyFallingBackOnFailure(const RegistrationKey* key, KeyUse use, void* context,
                               LONG* status);

void ReadRegistration(Registration* registration);
