// Starting a child program and waiting for it to end.
#pragma once

int RunAndWait(char* commandLine, unsigned long* exitCode);
