// Hidden top-level parents made with plain CreateWindowExA, and a look at
// the gadget table, for the gadget frame's tests.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "runtime/gadget/gadget_list.h"
#include "runtime/gadget/gadget_registry.h"
#include "tests/gadget/probe_gadget.h"

// Set by the parents' own procedure, which runs after the gadget list's
// teardown on WM_NCDESTROY: whether the list record was still attached.
extern std::vector<bool> ListRecordSeenAtEnd;

class GadgetTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Hidden, so that no window of these tests takes the foreground.
    HWND OpenParent();
    HWND Child(HWND parent, const char* className = "Static");

    static int LiveGadgets();
    static GadgetObject* Gadget(ObjectId number);

    std::vector<HWND> parents;
};
