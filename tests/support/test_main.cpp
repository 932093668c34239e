// Every test program's entry. A crash ends the program at once with the
// exception's code: else Wine starts its debugger, whose crash dialog waits
// on the headless display until CTest's time-out.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>

static LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* pointers)
{
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    fprintf(stderr, "unhandled exception 0x%08lx at %p\n", record->ExceptionCode, record->ExceptionAddress);
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), record->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

int main(int argc, char** argv)
{
    SetUnhandledExceptionFilter(EndOnCrash);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
