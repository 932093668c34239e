#include "tests/gadget/gadget_fixture.h"

std::vector<bool> ListRecordSeenAtEnd;

namespace {

constexpr const char* ParentClass = "KeyvaneGadgetTestParent";

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY)
        ListRecordSeenAtEnd.push_back(GetPropA(window, GadgetListProperty().text) != nullptr);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void GadgetTest::SetUp()
{
    EnsureGadgetLibrary();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = ParentClass;
    RegisterClassA(&windowClass);  // fails harmlessly when already there
    ProbeReleases.clear();
    ListRecordSeenAtEnd.clear();
}

void GadgetTest::TearDown()
{
    for (HWND w : parents)
        DestroyWindow(w);
    GadgetListState* state = GadgetListStateGet();
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->current, nullptr);
    EXPECT_EQ(LiveGadgets(), 0);
}

HWND GadgetTest::OpenParent()
{
    HWND w = CreateWindowExA(0, ParentClass, "gadget parent", WS_OVERLAPPEDWINDOW, 10, 10, 400, 300, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    if (w)
        parents.push_back(w);
    return w;
}

HWND GadgetTest::Child(HWND parent, const char* className)
{
    return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

int GadgetTest::LiveGadgets()
{
    int live = 0;
    ObjectId id = 0;
    ObjectTableIterateBegin(GadgetTable);
    while (ObjectTableIterateNext(GadgetTable, &id))
        ++live;
    return live;
}

GadgetObject* GadgetTest::Gadget(ObjectId number)
{
    return static_cast<GadgetObject*>(ObjectTableLookup(GadgetTable, number));
}
