#include "tests/bench/pe_imports.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

using Bytes = std::vector<char>;

template <typename T>
bool ReadAt(const Bytes& file, size_t offset, T* out)
{
    if (offset > file.size() || file.size() - offset < sizeof(T))
        return false;
    std::memcpy(out, file.data() + offset, sizeof(T));
    return true;
}

// The file offset of an address relative to the image, through the section
// that holds it; 0 when none does.
size_t FileOffset(const Bytes& file, size_t sections, int count, DWORD rva)
{
    for (int i = 0; i < count; ++i) {
        IMAGE_SECTION_HEADER section;
        if (!ReadAt(file, sections + i * sizeof section, &section))
            return 0;
        if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData)
            return rva - section.VirtualAddress + section.PointerToRawData;
    }
    return 0;
}

// The import directory's address: its place differs in PE32 and PE32+.
bool ImportDirectory(const Bytes& file, size_t optional, IMAGE_DATA_DIRECTORY* out)
{
    WORD magic = 0;
    if (!ReadAt(file, optional, &magic))
        return false;
    const size_t directories = magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC
                                   ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                                   : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory);
    return ReadAt(file, optional + directories + IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof(IMAGE_DATA_DIRECTORY), out);
}

// The end of the last section that is loaded: long section names (the
// debug sections') are "/n" references into the string table.
long long ImageEnd(const Bytes& file, size_t sections, int count)
{
    long long end = 0;
    for (int i = 0; i < count; ++i) {
        IMAGE_SECTION_HEADER section;
        if (ReadAt(file, sections + i * sizeof section, &section) && section.Name[0] != '/' &&
            std::strncmp(reinterpret_cast<const char*>(section.Name), ".debug", 6) != 0)
            end = std::max<long long>(end, section.PointerToRawData + section.SizeOfRawData);
    }
    return end;
}

bool ReadImports(const Bytes& file, ExecutableFacts* facts)
{
    std::vector<std::string>* imports = &facts->imports;
    IMAGE_DOS_HEADER dos;
    IMAGE_FILE_HEADER header;
    if (!ReadAt(file, 0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || !ReadAt(file, dos.e_lfanew + 4, &header))
        return false;
    const size_t optional = dos.e_lfanew + 4 + sizeof header;
    const size_t sections = optional + header.SizeOfOptionalHeader;
    facts->imageBytes = ImageEnd(file, sections, header.NumberOfSections);
    IMAGE_DATA_DIRECTORY directory;
    if (!ImportDirectory(file, optional, &directory))
        return false;
    size_t entry = FileOffset(file, sections, header.NumberOfSections, directory.VirtualAddress);
    IMAGE_IMPORT_DESCRIPTOR descriptor;
    while (entry && ReadAt(file, entry, &descriptor) && descriptor.Name) {
        const size_t name = FileOffset(file, sections, header.NumberOfSections, descriptor.Name);
        if (!name)
            return false;
        imports->push_back(std::string(file.data() + name, strnlen(file.data() + name, file.size() - name)));
        entry += sizeof descriptor;
    }
    return true;
}

}  // namespace

ExecutableFacts ExamineExecutable(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ExecutableFacts facts = {false, static_cast<long long>(file.size()), 0, {}};
    facts.read = in.is_open() && ReadImports(file, &facts);
    return facts;
}

bool IsSystemDll(const std::string& name)
{
    char path[MAX_PATH];
    const UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n + 1 + name.size() >= MAX_PATH)
        return false;
    lstrcatA(path, "\\");
    lstrcatA(path, name.c_str());
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}
