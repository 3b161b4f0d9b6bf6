#pragma once
#include <QLabel>

// The status line: a sunken label whose text can be selected and copied. A
// text too long for one line wraps onto a second; the tool tip always holds
// the whole text.
class CStatusLine : public QLabel {
    Q_OBJECT
public:
    explicit CStatusLine(QWidget* parent = nullptr);

    void SetText(const QString& text);
};
