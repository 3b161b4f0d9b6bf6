#pragma once
#include <QWidget>
#include <cstdint>

class QKeyEvent;
class QLineEdit;

// Four 0..255 fields separated by dots. A blank field counts as 0. The packed
// address word holds the first field in its most significant byte.
//
// Typing: a third digit moves on to the next field with its text selected,
// and a '.' (or blank) typed right after that move is swallowed, so a whole
// dotted address typed from the first field gives exactly that address
// whatever the fields held. Otherwise '.' moves on from a field that is not
// empty; a digit that would make a field exceed 255 is refused; Backspace and
// Left at the start of a field go back to the previous one. Pasting a whole
// dotted address fills all four fields.
class CIPAddressCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CIPAddressCtrl(QWidget* parent = nullptr);

    // Number of non-blank fields; `address` gets the packed word.
    int GetAddress(uint32_t& address) const;
    void SetAddress(uint32_t address);
    void SetAddress(int b1, int b2, int b3, int b4);
    void ClearAddress();
    bool IsBlank() const;
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const;

    QLineEdit* Field(int index) const;  // 0..3, for tests and focus handling

signals:
    void fieldChanged();  // the operator edited a field
    void focusLost();  // the focus left the control (not moving between its fields)

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int IndexOf(QObject* field) const;
    void OnFieldEdited(int index, const QString& text);
    bool HandleFieldKey(int index, const QKeyEvent& event);
    void Paste(int index);
    void ShowFieldMenu(int index, const QPoint& globalPos);
    void MoveToField(int index, bool cursorAtEnd);
    bool OwnsFocus() const;

    QLineEdit* m_fields[4];
    bool m_movedByThirdDigit = false;  // the last key typed filled a field and moved on
};
