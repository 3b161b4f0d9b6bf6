#pragma once
#include <QWidget>
#include <cstdint>

class QLineEdit;

// Four 0..255 fields separated by dots. A blank field counts as 0. The packed
// address word holds the first field in its most significant byte.
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
    bool HandleFieldKey(int index, int key);
    void MoveToField(int index, bool cursorAtEnd);
    bool OwnsFocus() const;

    QLineEdit* m_fields[4];
};
