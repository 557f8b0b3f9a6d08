// UTF-8 is the tool's text everywhere; Windows file and module functions want UTF-16. These
// conversions exist only in the Windows build.
#pragma once

#ifdef _WIN32
#include <string>
#include <vector>

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);

// The program's arguments as UTF-8, from the wide command line (argv of main is in the ANSI
// code page and would lose characters outside it).
std::vector<std::string> utf8Arguments();
#endif
