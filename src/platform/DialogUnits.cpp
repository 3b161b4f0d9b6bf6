#include "platform/DialogUnits.h"

#include <QFontMetrics>
#include <algorithm>

namespace {
const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// Rounded average advance of the 52 letters.
int AverageLetterWidth(const QFontMetrics& metrics)
{
    const int total = metrics.horizontalAdvance(QString::fromLatin1(kLetters));
    return (total / 26 + 1) / 2;
}
}  // namespace

CDialogUnits::CDialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    m_charWidth = std::max(AverageLetterWidth(metrics), kDrawnCharWidth);
    m_charHeight = std::max(metrics.height(), kDrawnCharHeight);
}
