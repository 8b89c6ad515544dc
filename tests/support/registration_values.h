// Registrations built the way a read of the registry leaves them, for the
// tests of the decisions made from them.
#pragma once

#include <string.h>

#include <string>

#include "detect/registration.h"

// The registry's other types, as the registry numbers them.
const unsigned long kRegBinary = 3;
const unsigned long kRegDword = 4;
const unsigned long kRegMultiSz = 7;

// A value from its stored bytes (a text stored with its NUL is text + '\0').
// More bytes than the read offers make the read fail.
inline TextValue Stored(const std::string& bytes, unsigned long type = kRegSz) {
    TextValue value = {};
    if (bytes.size() > kTextBufSize)
        return value;
    value.read = 1;
    value.type = type;
    memcpy(value.text, bytes.data(), bytes.size());
    value.length = strnlen(value.text, kTextBufSize);
    value.filled = value.length == kTextBufSize;
    return value;
}

// A text stored with its NUL.
inline TextValue Text(const std::string& text, unsigned long type = kRegSz) {
    return Stored(text + '\0', type);
}

// A text value of the given length that ends with a backslash.
inline std::string DirectoryOfLength(size_t length) {
    std::string text = "D:\\";
    while (text.size() + 1 < length)
        text += static_cast<char>('a' + text.size() % 26);
    text += '\\';
    text.resize(length);
    return text;
}

// An installation as the inner installer leaves it: registered, and with a
// ClientLevel without "/", so it is not refused and can be repaired.
inline Registration Registered(const std::string& directory = "D:\\Apps\\") {
    Registration r = {};
    r.productKey = 1;
    r.mainUninstallKey = 1;
    r.clientLevel = Text("VNR 4.50");
    r.directory = Text(directory);
    r.installDate = Text("20261208");
    r.lastUsedSource = Text("n;1;E:\\Media\\");
    r.netSource = Text("E:\\Media\\");
    return r;
}
