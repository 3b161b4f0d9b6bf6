// kalvor-icon-render: writes the application icon as PNG files for the icon
// theme, DIR/NxN/apps/NAME.png for every size N given.
//   kalvor-icon-render DIR NAME SIZE...
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

#include "res/AppIcon.h"

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: kalvor-icon-render DIR NAME SIZE...\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    const QIcon icon = AppIcon();
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLatin1(argv[i]).toInt(&ok);
        if (!ok || size < 8 || size > 512) {
            fprintf(stderr, "kalvor-icon-render: not an icon size: %s\n", argv[i]);
            return 2;
        }
        // The icon holds the sizes it is drawn at; others are scaled from the
        // nearest larger one, and a pixmap that comes back smaller is refused.
        const QPixmap pixmap = icon.pixmap(QSize(size, size));
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        const QString path = QStringLiteral("%1/%2.png").arg(dir, name);
        if (pixmap.width() != size || pixmap.height() != size || !QDir().mkpath(dir) || !pixmap.save(path, "PNG")) {
            fprintf(stderr, "kalvor-icon-render: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
