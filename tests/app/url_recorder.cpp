// Stands in for the web browser: registered as the prefix's https handler by
// the purchase test, it appends the address it was asked to open, one line
// each, to the file named in KEYVANE_URL_LOG.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv)
{
    char path[MAX_PATH];
    FILE* log = argc > 1 && GetEnvironmentVariableA("KEYVANE_URL_LOG", path, MAX_PATH) ? fopen(path, "ab") : nullptr;
    if (!log)
        return 1;
    fprintf(log, "%s\n", argv[1]);
    fclose(log);
    return 0;
}
