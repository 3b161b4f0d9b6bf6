#pragma once
// Declarative dialog templates: each window's controls are described once, as
// data, and the builder (DialogBuilder) turns the table into Qt widgets. The
// same tables drive field exchange (ids) and the tests.

#include <vector>

// Standard command ids of the dialog framework.
enum : int {
    IDC_STATIC = -1,
    IDOK = 1,
    IDCANCEL = 2,
    IDYES = 6,
    IDNO = 7,
};

enum class ControlKind {
    PushButton,  // caption may hold '\n' for two lines
    DefPushButton,  // the button Enter presses
    CheckBox,
    RadioButton,  // put WS_GROUP on the first radio of each group
    GroupBox,
    Static,  // plain label
    StatusLine,  // sunken, bordered single-line static (the status line)
    Icon,  // the application icon
    Edit,  // single line unless ES_MULTILINE
    IpAddress,  // four 0..255 fields
    ComboDropList,  // combo box, pick from list only
    ComboDropDown,  // combo box with an editable field
    ListReport,  // report-style list, sorted by its first column
    TabBar,  // tab strip with "about to change" / "changed" notices
    Progress,  // smooth progress bar
};

// Style flags of a control (a subset of what a dialog template can carry).
enum ControlStyle : unsigned {
    WS_NONE = 0,
    WS_DISABLED = 1u << 0,
    ES_READONLY = 1u << 1,
    ES_PASSWORD = 1u << 2,
    ES_MULTILINE = 1u << 3,
    WS_GROUP = 1u << 4,  // first radio button of a group
    WS_VSCROLL = 1u << 5,
    ES_AUTOHSCROLL = 1u << 6,
    WS_HIDDEN = 1u << 7,
    SS_RIGHT = 1u << 8,
    ES_WANTRETURN = 1u << 9,
};

// Height of a status line: room for two lines of text inside its frame.
constexpr int kStatusLineCy = 18;

struct ControlSpec {
    int id;  // decimal id, becomes the widget's objectName
    ControlKind kind;
    const char* caption;  // Latin-1 text; nullptr or "" for none
    int x, y, cx, cy;  // place and size in dialog units
    unsigned style = WS_NONE;
    int limit = 0;  // edits: character limit (0 = none); combos: list height
};

struct DialogTemplate {
    int id;  // template resource number
    const char* caption;  // window caption of the template
    int cx, cy;  // client size in dialog units
    std::vector<ControlSpec> controls;  // template order = tab order
    bool minimizeBox = false;
};
