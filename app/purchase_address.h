// The purchase page address and its integrity value, both fixed at build
// time from the settings KEYVANE_PURCHASE_HOST and KEYVANE_PURCHASE_BUTTON
// (13 upper-case letters and digits, checked when the build is configured).
#pragma once

#include <cstdint>

#ifndef KEYVANE_PURCHASE_HOST
#error "the build sets KEYVANE_PURCHASE_HOST and KEYVANE_PURCHASE_BUTTON"
#endif

// The one purchase page this program opens.
constexpr const char PurchasePageAddress[] =
    "https://" KEYVANE_PURCHASE_HOST "/cgi-bin/webscr?cmd=_s-xclick&hosted_button_id=" KEYVANE_PURCHASE_BUTTON;

// FNV-1a, 64 bits. Every step is a bijection of the state, so two texts of
// one length that differ in a single byte never share a value.
constexpr uint64_t AddressHash(const char* text)
{
    uint64_t hash = 0xCBF29CE484222325ull;
    for (; *text; ++text)
        hash = (hash ^ static_cast<unsigned char>(*text)) * 0x100000001B3ull;
    return hash;
}

constexpr uint64_t PurchaseAddressHash = AddressHash(PurchasePageAddress);
constexpr int32_t PurchaseAddressLength = sizeof PurchasePageAddress - 1;
