#include "app/main_window.h"

#include "runtime/font/font.h"
#include "runtime/gadget/gadget.h"
#include "runtime/window/window.h"

namespace {

// The edition panel's eleven lines, joined by CR LF.
constexpr const char* EditionText =
    "Keyvane lite is limited to only\r\n"
    "the arrow keys and space bar. Which\r\n"
    "works with some flash games.\r\n"
    "\r\n"
    "The full version allows you to choose\r\n"
    "up to 68 keys per axis and buttons.\r\n"
    "You can also create, save and delete\r\n"
    "multiple game settings right here in the\r\n"
    "''Game Settings'' area.\r\n"
    "\r\n"
    "The full version is $10 USD.";

// Centred on the screen, with a title bar, a system menu and a minimise
// button: no maximise button and no sizing border.
constexpr uint32_t MainWindowFlags = WindowCentreScreen | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
static_assert(MainWindowFlags == 0xCA0001, "the window's flag word");
constexpr int ClientWidth = 400;
constexpr int ClientHeight = 450;

constexpr int AssignmentCount = 12;  // combo boxes 1 to 12, labels 13 to 24
constexpr ObjectId FirstAssignment = 1;
constexpr ObjectId FirstLabel = 13;

// One row per assignment: the stick's four directions, then eight buttons.
struct AssignmentRow {
    int y;
    const char* label;
    const char* key;  // the fixed key, or null for a button with none
};

const AssignmentRow assignmentRows[AssignmentCount] = {
    {55, "UP", "Up Arrow"},          {85, "DOWN", "Down Arrow"},   {115, "LEFT", "Left Arrow"},
    {145, "RIGHT", "Right Arrow"},   {205, "BUTTON 1", "Space Bar"}, {235, "BUTTON 2", nullptr},
    {265, "BUTTON 3", nullptr},      {295, "BUTTON 4", nullptr},   {325, "BUTTON 5", nullptr},
    {355, "BUTTON 6", nullptr},      {385, "BUTTON 7", nullptr},   {415, "BUTTON 8", nullptr},
};

// The full edition's setting controls, shown but never enabled here.
constexpr ObjectId CreateButton = 25;
constexpr ObjectId SaveButton = 26;
constexpr ObjectId DeleteButton = 27;
constexpr ObjectId SettingName = 41;
// The frames round the stick's rows, the button rows and the settings.
constexpr ObjectId AxisFrame = 37;
constexpr ObjectId ButtonFrame = 38;
constexpr ObjectId SettingsFrame = 39;

void CreateAssignments()
{
    for (int i = 0; i < AssignmentCount; ++i) {
        const AssignmentRow& row = assignmentRows[i];
        GadgetCreateComboBox(FirstAssignment + i, 85, row.y, 105, 20, 0);
        if (row.key)
            GadgetAddItem(FirstAssignment + i, -1, row.key);
    }
    for (int i = 0; i < AssignmentCount; ++i)
        GadgetCreateText(FirstLabel + i, 10, assignmentRows[i].y, 70, 20, assignmentRows[i].label);
}

}  // namespace

intptr_t MainWindowBuild()
{
    const intptr_t window = WindowOpen(MainWindow, 0, 0, ClientWidth, ClientHeight, "Keyvane - Lite", MainWindowFlags);
    if (!window)
        return 0;

    GadgetCreateEditor(EditionPanel, 205, 55, 185, 335, EditorReadOnly);
    GadgetSetText(EditionPanel, EditionText);
    // Without Arial every gadget keeps the library's own default font.
    if (FontLoad(CaptionFont, "Arial", 8))
        GadgetSetFont(-1, reinterpret_cast<intptr_t>(FontHandle(CaptionFont)));

    CreateAssignments();
    GadgetCreateButton(CreateButton, 335, 395, 50, 20, "Create");
    GadgetCreateButton(SaveButton, 245, 420, 50, 20, "Save");
    GadgetCreateButton(DeleteButton, 300, 420, 50, 20, "Delete");
    for (int i = 0; i < AssignmentCount; ++i) {
        GadgetDisable(FirstAssignment + i, 1);
        GadgetSetState(FirstAssignment + i, 0);
    }
    GadgetDisable(CreateButton, 1);
    GadgetDisable(SaveButton, 1);
    GadgetDisable(DeleteButton, 1);

    GadgetCreateCheckBox(SuspendCheckBox, 30, 10, 150, 20, "Disable Keyvane");
    GadgetCreateButton(HelpButton, 373, 11, 20, 20, "?");
    // The frames come after the gadgets they enclose.
    GadgetCreateFrame(AxisFrame, 5, 35, 190, 140, "XY Axis");
    GadgetCreateFrame(ButtonFrame, 5, 185, 190, 260, "Buttons");
    GadgetCreateFrame(SettingsFrame, 200, 35, 195, 410, "Game Settings");
    GadgetCreateButton(PurchaseButton, 200, 5, 165, 30, "Purchase the Full Version");
    GadgetCreateString(SettingName, 210, 395, 120, 20, "");
    GadgetDisable(SettingName, 1);
    return window;
}
