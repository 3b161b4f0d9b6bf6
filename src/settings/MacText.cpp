#include "settings/MacText.h"

#include <QRegularExpression>

bool MacLockToHex(const QString& text, QByteArray& hex)
{
    static const QRegularExpression separated("^\\s*([0-9A-Fa-f]{2})([ :-])([0-9A-Fa-f]{2})\\2([0-9A-Fa-f]{2})\\2"
                                              "([0-9A-Fa-f]{2})\\2([0-9A-Fa-f]{2})\\2([0-9A-Fa-f]{2})\\s*$");
    static const QRegularExpression bare("^\\s*([0-9A-Fa-f]{12})\\s*$");
    QStringList bytes;
    if (const auto match = separated.match(text); match.hasMatch()) {
        for (int group : {1, 3, 4, 5, 6, 7})
            bytes << match.captured(group);
    } else if (const auto match = bare.match(text); match.hasMatch()) {
        const QString digits = match.captured(1);
        for (int i = 0; i < 12; i += 2)
            bytes << digits.mid(i, 2);
    } else {
        return false;
    }
    hex = bytes.join(' ').toUpper().toLatin1();
    return true;
}
