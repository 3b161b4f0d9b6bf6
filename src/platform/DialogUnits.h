#pragma once
#include <QFont>

// Dialog units of a font, as a dialog framework converts them: a horizontal
// unit is a quarter of the average width of the 52 letters A-Z and a-z, a
// vertical unit an eighth of the font's height. The character never counts
// smaller than the 6 x 13 pixels of the font the templates were drawn for, so
// no window comes out smaller than its drawing.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    int X(int dlu) const { return (dlu * m_charWidth + 2) / 4; }
    int Y(int dlu) const { return (dlu * m_charHeight + 4) / 8; }

    static constexpr int kDrawnCharWidth = 6;
    static constexpr int kDrawnCharHeight = 13;

private:
    int m_charWidth;
    int m_charHeight;
};
