#include "platform/StatusLine.h"

CStatusLine::CStatusLine(QWidget* parent) : QLabel(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void CStatusLine::SetText(const QString& text)
{
    setText(text);
    setToolTip(text);
}
