#pragma once
#include <QObject>
#include <QPointer>

class QWidget;

// While a parentless dialog runs modally, the window that owns it takes no
// input: clicks, keys, the wheel and its close box are ignored, as for a
// disabled owner window. Its controls keep their normal look. Lives for the
// duration of the modal run.
class COwnerBlock : public QObject {
public:
    explicit COwnerBlock(QWidget* owner);
    ~COwnerBlock() override;
    COwnerBlock(const COwnerBlock&) = delete;
    COwnerBlock& operator=(const COwnerBlock&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Targets(QObject* watched) const;

    QPointer<QWidget> m_owner;
};
