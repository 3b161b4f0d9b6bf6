#include "settings/SwitchTransfer.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "base/FileReplace.h"
#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"

namespace {

// Up to `size` bytes, in as many reads as a pipe or a device needs.
qint64 ReadUpTo(QFile& file, char* data, qint64 size)
{
    qint64 got = 0;
    while (got < size) {
        const qint64 read = file.read(data + got, size - got);
        if (read < 0)
            return -1;
        if (read == 0)
            break;
        got += read;
    }
    return got;
}

}  // namespace

namespace SwitchTransfer {

const std::vector<std::string>& RegisterObjects()
{
    static const std::vector<std::string> objects = [] {
        std::vector<std::string> all;
        for (int r = 0; r < SwitchMap::kRegisters; ++r)
            all.push_back(Oid::SwitchRegister(r));
        return all;
    }();
    return objects;
}

void AddRegisterReads(CSnmpRequest& request)
{
    for (const std::string& oid : RegisterObjects())
        request.AddVar(oid, "", 0);
}

CSwitchImage ImageFromReads(const CSnmpRequest& request)
{
    CSwitchImage::Bytes bytes {};
    for (int r = 0; r < SwitchMap::kRegisters; ++r)
        bytes[size_t(r)] = uint8_t(request.GetInteger(uint32_t(r)) & 0xFF);
    return CSwitchImage(bytes);
}

void AddRegisterWrites(CSnmpRequest& request, const CSwitchImage& image, const std::vector<int>& registers)
{
    for (int r : registers) {
        const std::string value = std::to_string(int(image.Register(r)));
        request.AddVar(Oid::SwitchRegister(r), value.c_str(), 'i');
    }
}

FileRead ReadImageFile(const QString& path, CSwitchImage& image)
{
    FileRead result;
    const QFileInfo info(path);
    if (info.isDir()) {
        result.error = QStringLiteral("%1 is a folder").arg(path);
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result.error = file.errorString();
        return result;
    }
    // One byte more than a configuration tells a longer file.
    char bytes[kFileSize + 1];
    const qint64 got = ReadUpTo(file, bytes, sizeof bytes);
    if (got < 0) {
        result.error = file.errorString();
        return result;
    }
    result.size = got <= kFileSize ? got : file.isSequential() ? -1 : info.size();
    CSwitchImage::Bytes registers {};
    for (qint64 r = 0; r < std::min<qint64>(got, kFileSize); ++r)
        registers[size_t(r)] = uint8_t(bytes[r]);
    const CSwitchImage read(registers);
    if (got != kFileSize)
        result.status = FileStatus::WrongSize;
    else if (!read.IsPlausible())
        result.status = FileStatus::Implausible;
    else {
        image = read;
        result.status = FileStatus::Loaded;
    }
    return result;
}

QString RefusalReason(const FileRead& read)
{
    switch (read.status) {
    case FileStatus::Loaded: break;
    case FileStatus::WrongSize:
        return (read.size < 0 ? QStringLiteral("more than 128 bytes") : QStringLiteral("%1 bytes").arg(read.size))
            + QStringLiteral(", but a configuration file holds exactly 128");
    case FileStatus::Implausible:
        return QStringLiteral("every byte is 0x00 or 0xFF, which is what a switch board with a missing or broken "
                              "link reads, not a configuration");
    case FileStatus::Unreadable: return read.error;
    }
    return QString();
}

FileWrite WriteImageFile(const QString& path, const CSwitchImage& image, QString& error)
{
    const auto& bytes = image.bytes();
    std::string reason;
    const FileReplace replaced = ReplaceFileContents(
        QFile::encodeName(path).toStdString(), reinterpret_cast<const char*>(bytes.data()), kFileSize, reason);
    error = QString::fromLocal8Bit(reason.c_str());
    switch (replaced) {
    case FileReplace::Done: return FileWrite::Written;
    case FileReplace::CannotCreate: return FileWrite::OpenFailed;
    case FileReplace::CannotWrite: return FileWrite::WriteFailed;
    }
    return FileWrite::WriteFailed;
}

}  // namespace SwitchTransfer
