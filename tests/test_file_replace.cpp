// Replacing a file only by complete contents: a full disk (a file size
// limit here), a missing folder or a folder in the way leave the old file
// byte for byte and no temporary file behind, and say why; a replacement
// flushes the new file before it takes the old one's name, and the folder
// after.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include "base/FileReplace.h"
#include "support/FileSizeLimit.h"

namespace {

const QByteArray kOld = QByteArray(128, char(0x5A));

// The flushes and renames of one replacement, in order.
QStringList g_calls;

int CountedSync(int fd)
{
    struct stat info {};
    g_calls << (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) ? "fsync folder" : "fsync file");
    return fsync(fd);
}

int CountedRename(const char* from, const char* to)
{
    g_calls << "rename";
    return rename(from, to);
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

}  // namespace

class TestFileReplace : public QObject {
    Q_OBJECT
private slots:
    void replace_data()
    {
        QTest::addColumn<QString>("target");  // relative to the folder that holds old.rcs
        QTest::addColumn<int>("limit");  // bytes a file may grow to; 0: none
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QStringList>("calls");
        const QStringList durable {"fsync file", "rename", "fsync folder"};
        QTest::newRow("replaced") << "old.rcs" << 0 << int(FileReplace::Done) << "" << durable;
        QTest::newRow("new file") << "new.rcs" << 0 << int(FileReplace::Done) << "" << durable;
        QTest::newRow("disk full halfway")
            << "old.rcs" << 64 << int(FileReplace::CannotWrite) << "File too large" << QStringList();
        QTest::newRow("disk full at once")
            << "old.rcs" << 1 << int(FileReplace::CannotWrite) << "File too large" << QStringList();
        QTest::newRow("missing folder") << "none/old.rcs" << 0 << int(FileReplace::CannotCreate)
                                        << "No such file or directory" << QStringList();
        QTest::newRow("a folder in the way")
            << "sub" << 0 << int(FileReplace::CannotCreate) << "a folder has this name" << QStringList();
    }
    void replace()
    {
        QFETCH(QString, target);
        QFETCH(int, limit);
        QFETCH(int, result);
        QFETCH(QString, reason);
        QFETCH(QStringList, calls);
        QTemporaryDir dir;
        QFile old(dir.filePath("old.rcs"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(kOld) == kOld.size());
        old.close();
        QVERIFY(chmod(QFile::encodeName(old.fileName()).constData(), 0640) == 0);
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        const QByteArray next(128, char(0xA5));
        std::string error;
        FileReplace got = FileReplace::Done;
        g_calls.clear();
        const FileReplaceCalls system = FileReplaceSystemCalls();
        FileReplaceSystemCalls() = {&CountedSync, &CountedRename};
        {
            FileSizeLimit full(limit ? rlim_t(limit) : RLIM_INFINITY);
            QVERIFY(full.Applied());
            got = ReplaceFileContents(QFile::encodeName(dir.filePath(target)).toStdString(), next.constData(),
                size_t(next.size()), error);
        }
        FileReplaceSystemCalls() = system;
        QCOMPARE(int(got), result);
        QCOMPARE(g_calls, calls);
        QVERIFY2(QString::fromStdString(error).contains(reason), error.c_str());
        const bool done = got == FileReplace::Done;
        QCOMPARE(Contents(dir.filePath("old.rcs")), done && target == "old.rcs" ? next : kOld);
        if (done) {
            QCOMPARE(Contents(dir.filePath(target)), next);
            struct stat info {};
            QVERIFY(stat(QFile::encodeName(dir.filePath(target)).constData(), &info) == 0);
            if (target == "old.rcs")
                QCOMPARE(int(info.st_mode & 0777), 0640);  // the old file's mode kept
        }
        // Nothing but what was there and what was written.
        QStringList expected {"old.rcs", "sub"};
        if (done && target != "old.rcs")
            expected << target;
        expected.sort();
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name), expected);
    }
};

QTEST_GUILESS_MAIN(TestFileReplace)
#include "test_file_replace.moc"
