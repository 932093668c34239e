// Every operation that names an object by number, given numbers that name
// nothing, and every creation without memory, without an event state or, for
// gadgets, without a gadget list: each returns 0 (or null) and leaves the
// live objects alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "numbered_operations.h"
#include "runtime/core/heaps.h"
#include "runtime/font/font.h"
#include "runtime/gadget/gadget.h"
#include "runtime/joystick/joystick.h"
#include "harness/remote_pad_driver.h"
#include "tests/support/runtime_start.h"

namespace {

struct DeadCall {
    const char* name;
    intptr_t (*call)(ObjectId number);
    bool creates;  // numbers past a table's slots are fine numbers to create under
};

#define CALL(creates, op, ...) {#op, [](ObjectId n) { return (intptr_t)op(n, ##__VA_ARGS__); }, creates}
#define NO_RESULT(op) {#op, [](ObjectId n) { return op(n), intptr_t(0); }, false}

const DeadCall calls[] = {
    CALL(true, WindowOpen, 0, 0, 100, 100, "dead", WindowHidden),
    CALL(true, WindowOpenWithParent, 0, 0, 100, 100, "dead", WindowHidden, nullptr),
    CALL(true, GadgetCreateEditor, 0, 0, 50, 20, 0), CALL(true, GadgetCreateComboBox, 0, 0, 50, 20, 0),
    CALL(true, GadgetCreateText, 0, 0, 50, 20, "dead"), CALL(true, GadgetCreateButton, 0, 0, 50, 20, "dead"),
    CALL(true, GadgetCreateCheckBox, 0, 0, 50, 20, "dead"), CALL(true, GadgetCreateFrame, 0, 0, 50, 20, "dead"),
    CALL(true, GadgetCreateString, 0, 0, 50, 20, "dead"), CALL(true, FontLoad, "Arial", 10),
    CALL(true, FontLoadStyled, "Arial", 10, FontStyleBold), NO_RESULT(WindowClose), NO_RESULT(FontRelease),
    CALL(false, WindowLookup), CALL(false, GadgetLookup), CALL(false, FontHandle), CALL(false, GadgetSetText, "x"),
    CALL(false, GadgetSetFont, -1), CALL(false, GadgetAddItem, -1, "x"), CALL(false, GadgetDisable, 1),
    CALL(false, GadgetSetState, 1), CALL(false, GadgetGetState), CALL(false, GadgetFree),
    CALL(false, JoystickExamine), CALL(false, JoystickReadAxisX), CALL(false, JoystickReadAxisY),
    CALL(false, JoystickReadButton, 1),
    {"GadgetRegister", nullptr, false},  // given the record a kind allocated under the number
};

alignas(16) char foreignRecord[256];  // memory no table handed out

TEST(DeadNumbers, NumbersThatNameNothingDoNothing)
{
    for (const char* declared : NumberedOperations)
        EXPECT_TRUE(std::any_of(std::begin(calls), std::end(calls),
                                [&](const DeadCall& call) { return !strcmp(call.name, declared); }))
            << declared << " takes a number but is not in the table";
    EnsureRuntime();
    RemotePadDriver pads = {};
    ASSERT_TRUE(RemotePadCreate(pads));
    RemotePadSetAxes(pads, RemotePadPlug(pads), 1000, 0);
    ASSERT_EQ(JoystickInit(), 1) << RemotePadMissing;
    const HANDLE listHeap = ListHeap, mainHeap = MainHeap;
    const intptr_t window = WindowOpen(1, 0, 0, 200, 200, "live", WindowHidden);
    const intptr_t checkBox = GadgetCreateCheckBox(0, 0, 0, 50, 20, "live");
    const intptr_t font = FontLoad(0, "Arial", 10);
    ASSERT_TRUE(window && checkBox && font);
    GadgetSetState(0, 1);
    // Without memory: AutoNumber records are list nodes, and a number past a
    // table's slots grows it on the main heap (the loop below looks them up).
    ListHeap = MainHeap = nullptr;
    for (const DeadCall& call : calls)
        for (ObjectId n : {ObjectId{AutoNumber}, ObjectId{100}})
            EXPECT_TRUE(!call.creates || call.call(n) == 0) << call.name << " on " << n << " without memory";
    EventInit();  // fails: without an event state no window opens, since nothing would serve it
    ListHeap = listHeap;
    MainHeap = mainHeap;
    EXPECT_EQ(WindowOpen(2, 0, 0, 100, 100, "no events", WindowHidden), 0);
    EventInit();
    EXPECT_EQ(GetWindow(reinterpret_cast<HWND>(checkBox), GW_HWNDNEXT), nullptr) << "a failed creation's window";
    // Handles once live and freed since, after the live objects were made.
    const ObjectId freed[] = {GadgetCreateButton(AutoNumber, 0, 30, 50, 20, "freed"), FontLoad(AutoNumber, "Arial", 12),
                              WindowOpen(AutoNumber, 0, 0, 100, 100, "freed", WindowHidden)};
    ASSERT_TRUE(freed[0] && freed[1] && freed[2]);
    GadgetFree(freed[0]);
    FontRelease(freed[1]);
    WindowClose(freed[2]);

    const ObjectId never[] = {-2, ObjectNumberLimit, ObjectNumberLimit + 1, 0x7FFFFFFF,
                              reinterpret_cast<ObjectId>(foreignRecord), freed[0], freed[1], freed[2],
                              100, ObjectNumberLimit - 1};  // the last two only past a table's slots
    for (const DeadCall& call : calls) {
        for (size_t i = 0; call.call && i < std::size(never) - (call.creates ? 2 : 0); ++i)
            EXPECT_EQ(call.call(never[i]), 0) << call.name << " on " << never[i];
    }
    // Window freed[2], made last, was the gadget list: now there is none.
    for (const DeadCall& call : calls)
        for (ObjectId n : {ObjectId{0}, ObjectId{AutoNumber}, ObjectId{100}})
            EXPECT_TRUE(strncmp(call.name, "GadgetCreate", 12) || call.call(n) == 0) << call.name << " on " << n;
    EXPECT_TRUE(WindowLookup(1) && WindowLookup(1)->window == reinterpret_cast<HWND>(window));
    EXPECT_TRUE(GadgetLookup(0) && GadgetLookup(0)->window == reinterpret_cast<HWND>(checkBox));
    EXPECT_EQ(GadgetGetState(0), 1);
    EXPECT_EQ(reinterpret_cast<intptr_t>(FontHandle(0)), font);
    EXPECT_TRUE(JoystickExamine(0) && JoystickReadAxisX(0) == 1);
    // After the runtime's end every number names nothing (its heap is gone),
    // and a second start serves as the first did.
    RuntimeEnd();
    for (const DeadCall& call : calls)
        for (ObjectId n : {ObjectId{0}, ObjectId{1}, ObjectId{AutoNumber}})
            EXPECT_TRUE(!call.call || call.call(n) == 0) << call.name << " on " << n << " after the end";
    RuntimeStart();
    EXPECT_EQ(JoystickInit(), 1);
    EXPECT_TRUE(WindowOpen(1, 0, 0, 200, 200, "again", WindowHidden) && GadgetCreateCheckBox(0, 0, 0, 50, 20, "again"));
    EXPECT_TRUE(FontLoad(0, "Arial", 10) && JoystickExamine(0) && JoystickReadAxisX(0) == 1);
    JoystickEndAll();
    RemotePadDestroy(pads);
}

}  // namespace
