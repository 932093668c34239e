// What an executable file brings along: its size and the DLLs it imports,
// read from its PE headers (32- or 64-bit).
#pragma once

#include <string>
#include <vector>

struct ExecutableFacts {
    bool read;  // false when the file is missing or not a PE image
    long long bytes;
    long long imageBytes;  // without the debug sections and symbols after the image
    std::vector<std::string> imports;  // DLL names as the import table gives them
};

ExecutableFacts ExamineExecutable(const char* path);
// Whether the DLL is one of the system's own, in its system folder.
bool IsSystemDll(const std::string& name);
