// The demo installer's switches and the msiexec command line they become.
#pragma once
#include <stddef.h>

// Room for a whole msiexec command line with a long list of properties.
const size_t kCommandSize = 2048;

struct SetupRequest {
    int remove;                  // "/x": remove the product instead of installing it
    int silent;                  // "/s": no Installer user interface
    char options[kCommandSize];  // what followed "/v", unquoted once
};

int ParseSetupArguments(const char* args, SetupRequest* request);
int ComposeMsiexecCommand(const SetupRequest* request, const char* package, char* command,
                          size_t cap);
