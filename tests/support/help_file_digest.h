// The help file "/?" writes, as a digest taken once from the file Setup.exe
// wrote and reviewed byte by byte: 140 records of 260 bytes (text, then NUL
// fill), each followed by CR LF, 36,680 bytes in all. A change to any help
// text or to the layout shows here first.
#pragma once

const char kHelpFileSha256[] = "986f1c80ba821a85152bd77a8e1daeb4509e9d8a98a0adea2c521c89d5f4a8c6";
