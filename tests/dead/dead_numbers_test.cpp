// Numbers that name nothing, given to every operation that names an object
// by number: each must do nothing, return its "nothing" value (0 or null)
// and leave the live objects as they were. A test per library; the
// operations declared in the headers are checked against the tables.
#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "numbered_operations.h"
#include "runtime/font/font.h"
#include "runtime/gadget/gadget.h"
#include "runtime/gadget/gadget_registry.h"
#include "runtime/joystick/joystick.h"
#include "runtime/window/window.h"
#include "tests/support/joystick_runtime.h"
#include "tests/support/remote_pad_driver.h"
#include "tests/support/window_library.h"

namespace {

struct DeadCall {
    const char* name;
    intptr_t (*call)(ObjectId number);
    bool creates;  // numbers past the capacity are fine numbers to create under
};

// Past the slots of every table here (their growth steps are 50 at most),
// and the last number below the handles.
const ObjectId pastCapacity[] = {100, ObjectNumberLimit - 1};

#define RESULT(op, ...) {#op, [](ObjectId n) { return reinterpret_cast<intptr_t>(op(n, ##__VA_ARGS__)); }, false}
#define VALUE(op, ...) {#op, [](ObjectId n) { return static_cast<intptr_t>(op(n, ##__VA_ARGS__)); }, false}
#define NO_RESULT(op) {#op, [](ObjectId n) { return op(n), intptr_t(0); }, false}
#define CREATE(op, ...) {#op, [](ObjectId n) { return static_cast<intptr_t>(op(n, ##__VA_ARGS__)); }, true}

const DeadCall windowCalls[] = {
    CREATE(WindowOpen, 0, 0, 100, 100, "dead", WindowHidden),
    CREATE(WindowOpenWithParent, 0, 0, 100, 100, "dead", WindowHidden, nullptr),
    NO_RESULT(WindowClose),
    RESULT(WindowLookup),
};

const DeadCall gadgetCalls[] = {
    CREATE(GadgetCreateEditor, 0, 0, 50, 20, 0),
    CREATE(GadgetCreateComboBox, 0, 0, 50, 20, 0),
    CREATE(GadgetCreateText, 0, 0, 50, 20, "dead"),
    CREATE(GadgetCreateButton, 0, 0, 50, 20, "dead"),
    CREATE(GadgetCreateCheckBox, 0, 0, 50, 20, "dead"),
    CREATE(GadgetCreateFrame, 0, 0, 50, 20, "dead"),
    CREATE(GadgetCreateString, 0, 0, 50, 20, "dead"),
    VALUE(GadgetSetText, "dead"),
    VALUE(GadgetSetFont, -1),
    VALUE(GadgetAddItem, -1, "dead"),
    VALUE(GadgetDisable, 1),
    VALUE(GadgetSetState, 1),
    VALUE(GadgetGetState),
    VALUE(GadgetFree),
    RESULT(GadgetLookup),
};

const DeadCall fontCalls[] = {
    CREATE(FontLoadStyled, "Arial", 10, FontStyleBold),
    CREATE(FontLoad, "Arial", 10),
    RESULT(FontHandle),
    NO_RESULT(FontRelease),
};

const DeadCall joystickCalls[] = {
    VALUE(JoystickExamine),
    VALUE(JoystickReadAxisX),
    VALUE(JoystickReadAxisY),
    VALUE(JoystickReadButton, 1),
};

// Declared with a number but not naming an object by it: a kind hands
// GadgetRegister the record it allocated under that number.
const char* const givenTheRecord[] = {"GadgetRegister"};

// Memory that no table handed out, laid out like a record would be.
alignas(16) char foreignRecord[256];

// Numbers no creation may take: never numbers, or not handed out.
std::vector<ObjectId> NeverNumbers(ObjectId freedHandle)
{
    std::vector<ObjectId> numbers = {-2, ObjectNumberLimit, ObjectNumberLimit + 1, 0x7FFFFFFF,
                                     reinterpret_cast<ObjectId>(foreignRecord)};
    if (freedHandle)
        numbers.push_back(freedHandle);
    return numbers;
}

// Calls every operation with every number; creations must fail (0) and
// other operations find nothing (0).
template <size_t N>
void CallWithDeadNumbers(const DeadCall (&calls)[N], ObjectId freedHandle)
{
    for (const DeadCall& call : calls) {
        std::vector<ObjectId> numbers = NeverNumbers(freedHandle);
        if (!call.creates)
            numbers.insert(numbers.end(), std::begin(pastCapacity), std::end(pastCapacity));
        for (ObjectId number : numbers) {
            SCOPED_TRACE(std::string(call.name) + " on " + std::to_string(number));
            EXPECT_EQ(call.call(number), 0);
        }
    }
}

// The header declares no operation that the table leaves out.
template <size_t N>
void ExpectTableCovers(const DeadCall (&calls)[N], const char* prefix)
{
    std::set<std::string> inTable;
    for (const DeadCall& call : calls)
        inTable.insert(call.name);
    inTable.insert(std::begin(givenTheRecord), std::end(givenTheRecord));
    for (const char* declared : NumberedOperations) {
        if (std::string(declared).rfind(prefix, 0) == 0) {
            EXPECT_EQ(inTable.count(declared), 1u) << declared << " takes a number but is not in the table";
        }
    }
}

TEST(DeadNumbers, EveryOperationDeclaredForANumberIsInATable)
{
    size_t tabled = 0;
    for (const char* declared : NumberedOperations) {
        const std::string name = declared;
        tabled += name.rfind("Window", 0) == 0 || name.rfind("Gadget", 0) == 0 || name.rfind("Font", 0) == 0 ||
                  name.rfind("Joystick", 0) == 0;
    }
    EXPECT_EQ(tabled, sizeof NumberedOperations / sizeof *NumberedOperations) << "an operation of a new library";
    ExpectTableCovers(windowCalls, "Window");
    ExpectTableCovers(gadgetCalls, "Gadget");
    ExpectTableCovers(fontCalls, "Font");
    ExpectTableCovers(joystickCalls, "Joystick");
}

TEST(DeadNumbers, Windows)
{
    EnsureWindowLibrary();
    const intptr_t live = WindowOpen(0, 0, 0, 100, 100, "live", WindowHidden);
    ASSERT_NE(live, 0);
    const ObjectId freed = WindowOpen(AutoNumber, 0, 0, 100, 100, "freed", WindowHidden);
    ASSERT_NE(freed, 0);
    WindowClose(freed);

    CallWithDeadNumbers(windowCalls, freed);
    ASSERT_NE(WindowLookup(0), nullptr);
    EXPECT_EQ(reinterpret_cast<intptr_t>(WindowLookup(0)->window), live);
    WindowClose(0);
}

TEST(DeadNumbers, Gadgets)
{
    EnsureWindowLibrary();
    ASSERT_NE(WindowOpen(1, 0, 0, 200, 200, "gadgets", WindowHidden), 0);
    const intptr_t live = GadgetCreateCheckBox(0, 0, 0, 50, 20, "live");
    ASSERT_NE(live, 0);
    GadgetSetState(0, 1);
    ASSERT_EQ(GadgetGetState(0), 1);
    const ObjectId freed = GadgetCreateButton(AutoNumber, 0, 30, 50, 20, "freed");
    ASSERT_NE(freed, 0);
    ASSERT_NE(GadgetFree(freed), 0);

    CallWithDeadNumbers(gadgetCalls, freed);
    EXPECT_EQ(GadgetGetState(0), 1);
    EXPECT_TRUE(IsWindow(reinterpret_cast<HWND>(live)));
    WindowClose(1);
}

TEST(DeadNumbers, Fonts)
{
    FontInit();
    const intptr_t live = FontLoad(0, "Arial", 10);
    ASSERT_NE(live, 0);
    const ObjectId freed = FontLoad(AutoNumber, "Arial", 12);
    ASSERT_NE(freed, 0);
    FontRelease(freed);

    CallWithDeadNumbers(fontCalls, freed);
    EXPECT_EQ(reinterpret_cast<intptr_t>(FontHandle(0)), live);
    FontRelease(0);
}

// Joysticks are numbered by the enumeration alone: no handle to free.
TEST(DeadNumbers, Joysticks)
{
    EnsureJoystickRuntime();
    RemotePadDriver pads = {};
    ASSERT_TRUE(RemotePadCreate(pads));
    RemotePadPlug(pads);
    ASSERT_EQ(JoystickInit(), 1) << "is dinput.dll beside the test and WINEDLLOVERRIDES=dinput=n set?";
    RemotePadSetAxes(pads, 0, 1000, 0);

    CallWithDeadNumbers(joystickCalls, 0);
    ASSERT_EQ(JoystickExamine(0), 1);
    EXPECT_EQ(JoystickReadAxisX(0), 1);
    JoystickEndAll();
    RemotePadDestroy(pads);
}

}  // namespace
