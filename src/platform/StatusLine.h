#pragma once
#include <QLabel>

// The status line: a sunken single-line label whose text can be selected and
// copied; a text too long for the line shows whole as its tool tip.
class CStatusLine : public QLabel {
    Q_OBJECT
public:
    explicit CStatusLine(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
};
