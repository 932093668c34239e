#include "tests/support/url_handler.h"

#include <fstream>

#include "harness/keyvane_process.h"

constexpr char HandlerKey[] = "Software\\Classes\\https\\shell\\open\\command";

bool UrlHandlerInstall(UrlHandler& handler)
{
    handler = {};
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, HandlerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handler.key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof handler.saved;
    handler.hadHandler = RegQueryValueExA(handler.key, nullptr, nullptr, nullptr,
                                          reinterpret_cast<BYTE*>(handler.saved), &size) == ERROR_SUCCESS;
    const std::string command = "\"" + BesideThisProgram("url_recorder.exe") + "\" \"%1\"";
    GetTempPathA(MAX_PATH, handler.log);
    GetTempFileNameA(handler.log, "url", 0, handler.log);
    SetEnvironmentVariableA("KEYVANE_URL_LOG", handler.log);
    return RegSetValueExA(handler.key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                          static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
}

void UrlHandlerRestore(UrlHandler& handler)
{
    if (!handler.key)
        return;
    if (handler.hadHandler)
        RegSetValueExA(handler.key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(handler.saved),
                       lstrlenA(handler.saved) + 1);
    else
        RegDeleteValueA(handler.key, nullptr);
    RegCloseKey(handler.key);
    DeleteFileA(handler.log);
    handler.key = nullptr;
}

std::vector<std::string> UrlHandlerOpened(const UrlHandler& handler)
{
    std::vector<std::string> lines;
    std::ifstream log(handler.log, std::ios::binary);
    // Whole lines only: the recorder may be writing the last one.
    for (std::string line; std::getline(log, line) && !log.eof();)
        lines.push_back(line);
    return lines;
}
