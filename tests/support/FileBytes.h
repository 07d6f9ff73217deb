#pragma once
// A whole file's bytes, read or written at once: journals, scripts and what a program wrote.
#include <string>

// Empty when the file cannot be read.
std::string ReadFileBytes(const std::wstring& path);
// Made anew; throws when it cannot be written.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
