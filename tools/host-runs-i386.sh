#!/bin/bash
# Exits 0 when this host executes 32-bit x86 programs. Some kernels refuse
# them ("Exec format error") and the 32-bit code segment with them; there
# neither wine32 nor Wine's WoW64 mode can run, while wine64 does.
#
# The probe is the smallest static i386 ELF program: exit(42) by int 0x80.
set -u
probe="$(mktemp)"
trap 'rm -f "$probe"' EXIT
{
    # ELF header: 32-bit, little-endian, executable, i386, entry 0x08048054
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
    printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
    printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'
    printf '\x00\x00\x00\x00'
    # One loadable segment: the whole file, read and execute
    printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
    printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
    # mov eax, 1; mov ebx, 42; int 0x80
    printf '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80'
} > "$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
[ $? -eq 42 ]
