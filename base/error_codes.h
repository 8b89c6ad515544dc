// The Windows error codes the launcher decides or reports with, by their
// numbers, so that its pure code builds without the system's headers. The
// Win32 code uses these names too (base/registry.cpp checks them).
#pragma once

const unsigned long kErrorFilenameExcedRange = 206;  // a path or command line too long
const unsigned long kErrorInstallAlreadyRunning = 1618;
const unsigned long kErrorSuccessRebootInitiated = 1641;
const unsigned long kErrorSuccessRebootRequired = 3010;
