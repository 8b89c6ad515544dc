// Registrations built the way a read of the registry leaves them, for the
// tests of the decisions made from them.
#pragma once

#include <string.h>
#include <wchar.h>

#include <string>

#include "detect/registration.h"

// A value's name and key, as the registration's table gives them.
inline const char* NameOf(ValueId value) {
    return kRegistrationValues[value].name;
}
inline const RegistrationKey& KeyOf(ValueId value) {
    return kRegistrationKeys[kRegistrationValues[value].key];
}

// Each byte as one character, as in a single-byte code page.
inline std::wstring Widened(const std::string& bytes) {
    std::wstring units;
    for (char c : bytes)
        units += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return units;
}

// The characters of a text known to fit in bytes, for messages and
// comparisons with narrow texts.
inline std::string Narrowed(const wchar_t* units, size_t count) {
    std::string bytes;
    for (size_t i = 0; i < count; i++)
        bytes += static_cast<char>(units[i]);
    return bytes;
}

// A key's path in the given form, as the product composes it.
inline std::string PathOf(KeyId key, KeyForm form = kPlainForm) {
    wchar_t path[kTextBufSize];
    return Narrowed(path, KeyPath(&kRegistrationKeys[key], form, path, kTextBufSize));
}
inline std::string Narrowed(const std::wstring& units) {
    return Narrowed(units.data(), units.size());
}

// The registry's other types, as the registry numbers them.
const unsigned long kRegBinary = 3;
const unsigned long kRegDword = 4;

// A value from its stored characters (a text stored with its NUL is
// text + L'\0'), as the read leaves it. More characters than the read
// offers make the read fail.
inline TextValue Stored(const std::wstring& units, unsigned long type = kRegSz) {
    TextValue value = {};
    if (units.size() > kTextBufSize)
        return value;
    value.read = 1;
    value.type = type;
    for (size_t i = 0; i < units.size(); i++)
        value.text[i] = units[i];
    value.length = wcsnlen(value.text, kTextBufSize);
    value.filled = value.length == kTextBufSize;
    return value;
}

// The same from bytes, each one character, as the read leaves a value of
// another type in a single-byte code page.
inline TextValue Stored(const std::string& bytes, unsigned long type = kRegSz) {
    return Stored(Widened(bytes), type);
}

// A text stored with its NUL.
inline TextValue Text(const std::wstring& text, unsigned long type = kRegSz) {
    return Stored(text + L'\0', type);
}
inline TextValue Text(const std::string& text, unsigned long type = kRegSz) {
    return Text(Widened(text), type);
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
    r.opened[kProductKeyId] = 1;
    r.opened[kMainUninstallKeyId] = 1;
    r.values[kClientLevelId] = Text("VNR 4.50");
    r.values[kDirectoryId] = Text(directory);
    r.values[kInstallDateId] = Text("20261208");
    r.values[kLastUsedSourceId] = Text("n;1;E:\\Media\\");
    r.values[kNetSourceId] = Text("E:\\Media\\");
    return r;
}
