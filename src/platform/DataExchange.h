#pragma once
// Field exchange between a dialog's controls and its members.
//
// Taking (save = true) copies controls into members in the order of the
// window's DoDataExchange. The first field that fails shows the framework's
// standard message and stops the taking: fields before it are taken, a number
// outside its range is kept as typed (the range check comes after the copy),
// text that is no number leaves its member unchanged, and later fields keep
// their previous values.
//
// Pushing (save = false) copies every member into its control without checks
// and applies character limits to the edits. Notifications raised while
// fields are taken or pushed are not dispatched to handlers.

#include <QString>
#include <cstdint>

class CDialog;
class QWidget;

class CDataExchange {
public:
    CDataExchange(CDialog* dialog, bool saveAndValidate);

    bool m_bSaveAndValidate;
    CDialog* m_pDlgWnd;

    // The control the last DDX_ call worked on; DDV_ calls refer to it.
    QWidget* PrepareControl(int id);
    QWidget* LastControl() const { return m_lastControl; }
    int LastControlId() const { return m_lastId; }

    // Shows `message`, moves the focus to the last control and stops taking.
    // `taken`: the control's value reached its member as typed (a range or
    // length check failed after the copy), as opposed to text that is no
    // value of the member's type.
    void Fail(const QString& message, bool taken = false);
    bool Failed() const { return m_failed; }
    int FailedId() const { return m_failed ? m_lastId : 0; }
    bool FailedValueTaken() const { return m_failedTaken; }
    // True when a DDX_/DDV_ call must do nothing (taking already stopped).
    bool Stopped() const { return m_bSaveAndValidate && m_failed; }

private:
    QWidget* m_lastControl = nullptr;
    int m_lastId = 0;
    bool m_failed = false;
    bool m_failedTaken = false;
};

// Standard messages (bounds filled in by the DDV_ functions).
namespace DdxMessages {
extern const char* const kInteger;  // "Please enter an integer."
extern const char* const kPositiveInteger;  // "Please enter a positive integer."
extern const char* const kIntegerRange;  // "Please enter an integer between %1 and %2."
extern const char* const kByte;  // "Please enter an integer between 0 and 255."
extern const char* const kNumber;  // "Please enter a number."
extern const char* const kNumberRange;  // "Please enter a number between %1 and %2."
extern const char* const kMaxChars;  // "Please enter no more than %1 characters."
}  // namespace DdxMessages

// Text of an edit, combo (editable field), static, status line or button.
void DDX_Text(CDataExchange& dx, int id, QString& value);
// Numbers in edits. Leading/trailing blanks are allowed; anything else that is
// not a number fails with the type's message and leaves `value` unchanged.
void DDX_Text(CDataExchange& dx, int id, uint32_t& value);  // "Please enter a positive integer."
void DDX_Text(CDataExchange& dx, int id, int32_t& value);  // "Please enter an integer."
void DDX_Text(CDataExchange& dx, int id, uint8_t& value);  // "Please enter an integer between 0 and 255."
void DDX_Text(CDataExchange& dx, int id, float& value);  // "Please enter a number."
void DDX_Text(CDataExchange& dx, int id, double& value);  // "Please enter a number."
// Check box state.
void DDX_Check(CDataExchange& dx, int id, bool& value);
// Check box state as a number: 0 unchecked, 1 checked, 2 indeterminate. On
// push any other number clears the box.
void DDX_Check(CDataExchange& dx, int id, int& value);
// Index of the checked radio button of the group that starts at `id`
// (-1 when none is checked).
void DDX_Radio(CDataExchange& dx, int id, int& value);
// Combo box selection index (-1 for none) and text.
void DDX_CBIndex(CDataExchange& dx, int id, int& value);
void DDX_CBString(CDataExchange& dx, int id, QString& value);

// Validation of the value that the preceding DDX_ call took. On push,
// DDV_MaxChars applies the limit to the control.
void DDV_MaxChars(CDataExchange& dx, const QString& value, int maxChars);
void DDV_MinMaxUInt(CDataExchange& dx, uint32_t value, uint32_t minVal, uint32_t maxVal);
void DDV_MinMaxInt(CDataExchange& dx, int32_t value, int32_t minVal, int32_t maxVal);
void DDV_MinMaxByte(CDataExchange& dx, uint8_t value, uint8_t minVal, uint8_t maxVal);
void DDV_MinMaxFloat(CDataExchange& dx, float value, float minVal, float maxVal);
void DDV_MinMaxDouble(CDataExchange& dx, double value, double minVal, double maxVal);
