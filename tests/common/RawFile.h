// Raw file contents for the tests, read and written with the platform's
// own calls so that the code under test never checks itself.
#pragma once

#include <string>

// Writes the bytes as the whole file, replacing it; false when that fails.
bool PutBytes(const std::wstring& path, const std::string& bytes);
// Adds the bytes at the end of an existing file; false when that fails.
bool AddBytes(const std::wstring& path, const std::string& bytes);
// The whole file; empty when it does not open, which opened (when given)
// tells apart from an empty file.
std::string ReadBytes(const std::wstring& path, bool* opened = nullptr);

// Bytes of a UTF-16 text (little-endian) and the other way round (an odd
// last byte is dropped).
std::string Utf16Bytes(const std::wstring& text);
std::wstring Utf16Text(const std::string& bytes);
