// Stands in for the web browser: registered as the prefix's https handler by
// the purchase test, it appends the address it was asked to open, one line
// each, to the file named in KEYVANE_URL_LOG.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    char path[MAX_PATH];
    if (argc < 2 || !GetEnvironmentVariableA("KEYVANE_URL_LOG", path, sizeof path))
        return 1;
    FILE* log = fopen(path, "ab");
    if (!log)
        return 1;
    fprintf(log, "%s\n", argv[1]);
    fclose(log);
    return 0;
}
