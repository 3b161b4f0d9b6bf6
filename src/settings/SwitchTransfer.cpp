#include "settings/SwitchTransfer.h"

#include <QFile>
#include <QFileInfo>

#include "platform/FileReplace.h"
#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"

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
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    CSwitchImage::Bytes bytes {};
    const qint64 got = file.read(reinterpret_cast<char*>(bytes.data()), kFileSize);
    if (got < 0) {
        result.error = file.errorString();
        return result;
    }
    result.size = got;
    if (got < kFileSize) {
        result.status = FileStatus::TooShort;
        return result;
    }
    image = CSwitchImage(bytes);
    result.status = FileStatus::Loaded;
    return result;
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
