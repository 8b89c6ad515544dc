// The Windows error codes the launcher decides, reports or ends a run
// with, by their numbers, so that its pure code builds without the
// system's headers (registry.cpp checks them against the system's).
#pragma once

const unsigned long kErrorBadExeFormat = 193;        // not a program the system starts
const unsigned long kErrorFilenameExcedRange = 206;  // a path or command line too long
const unsigned long kErrorInstallAlreadyRunning = 1618;
const unsigned long kErrorInstallSuccess = 1707;  // a success to the deployment consoles
const unsigned long kErrorSuccessRebootInitiated = 1641;
const unsigned long kErrorSuccessRebootRequired = 3010;
