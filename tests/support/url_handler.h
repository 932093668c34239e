// Points the prefix's https handler at url_recorder.exe (beside the calling
// program), which appends each address it is asked to open to a log file,
// and puts the handler back afterwards.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct UrlHandler {
    HKEY key;
    bool hadHandler;
    char saved[1024];
    char log[MAX_PATH];
};

bool UrlHandlerInstall(UrlHandler& handler);
void UrlHandlerRestore(UrlHandler& handler);
// The addresses recorded so far, one per line of the log.
std::vector<std::string> UrlHandlerOpened(const UrlHandler& handler);
