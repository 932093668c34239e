// The kinds' tests: real controls in a window of the window library, as
// the application makes them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "runtime/core/result_buffer.h"
#include "runtime/core/strings.h"
#include "runtime/gadget/gadget.h"
#include "runtime/gadget/gadget_object.h"
#include "tests/support/window_library.h"

class GadgetKindTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureWindowLibrary();
        StringInit();
        window = reinterpret_cast<HWND>(WindowOpen(0, 50, 50, 400, 300, "Gadgets", WS_SYSMENU | Shown()));
        ASSERT_NE(window, nullptr);
    }

    void TearDown() override
    {
        WindowEndAll();
        DrainEvents();
        ObjectId id = 0;
        ObjectTableIterateBegin(GadgetTable);
        EXPECT_EQ(ObjectTableIterateNext(GadgetTable, &id), nullptr) << "a gadget outlived its window";
    }

    // Only the focus tests need a window that can be active.
    virtual uint32_t Shown() const { return WindowHidden; }

public:
    static GadgetObject* Gadget(ObjectId number)
    {
        return static_cast<GadgetObject*>(ObjectTableLookup(GadgetTable, number));
    }

    static HWND Control(ObjectId number)
    {
        GadgetObject* gadget = Gadget(number);
        return gadget ? gadget->window : nullptr;
    }

    // A text routine's result, taken by the result protocol.
    template <typename Call>
    static std::string Result(Call call)
    {
        const int32_t position = ResultBuffer.resultUsed;
        call(position);
        std::string text = ResultBuffer.resultBase + position;
        ResultBuffer.resultUsed = position;
        return text;
    }

protected:
    HWND window = nullptr;
};
