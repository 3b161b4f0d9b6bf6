#include "settings/SettingsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <map>

#include "base/FileReplace.h"

namespace {

constexpr int kCommentColumn = 40;
constexpr qint64 kLargestFile = 256 * 1024;

struct Line {
    int number;
    QString value;
};

bool Fail(SettingsFileParse& parse, const QString& error)
{
    parse.ok = false;
    parse.error = error;
    return false;
}

// The key = value lines of `text`, each key once; false after Fail.
bool ReadLines(const QByteArray& text, std::vector<std::pair<std::string, Line>>& lines, SettingsFileParse& parse)
{
    static const QRegularExpression setting("^([a-z0-9_.]+)\\s*=\\s*(.*)$");
    const QList<QByteArray> raw = text.split('\n');
    std::map<std::string, int> seen;
    for (int i = 0; i < raw.size(); ++i) {
        const QString line = QString::fromLatin1(raw[i]).section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const auto match = setting.match(line);
        if (!match.hasMatch())
            return Fail(parse, QStringLiteral("line %1: not a \"key = value\" line").arg(i + 1));
        const std::string key = match.captured(1).toStdString();
        if (seen.count(key))
            return Fail(parse,
                QStringLiteral("line %1: %2 given again (first on line %3)")
                    .arg(i + 1)
                    .arg(match.captured(1))
                    .arg(seen[key]));
        seen[key] = i + 1;
        lines.push_back({key, {i + 1, match.captured(2)}});
    }
    return true;
}

bool TakeFormat(const std::vector<std::pair<std::string, Line>>& lines, SettingsFileParse& parse)
{
    if (lines.empty() || lines.front().first != "format")
        return Fail(parse, "not a module settings file: it does not begin with a format line");
    const QString format = lines.front().second.value;
    if (format != QString::number(kSettingsFileFormat))
        return Fail(parse,
            QStringLiteral("format %1: this program reads module settings files of format %2")
                .arg(format)
                .arg(kSettingsFileFormat));
    return true;
}

// The module the file describes: its firmware and the mode bits that decide
// which windows it has.
bool TakeShape(const std::map<std::string, Line>& given, SettingsFileParse& parse)
{
    const auto firmware = given.find("firmware");
    QString canonical, error;
    if (firmware == given.end())
        return Fail(parse, "the firmware line is missing");
    if (!CanonicalValue({"firmware", "", SettingGroup::Info, 0}, firmware->second.value, canonical, error))
        return Fail(parse, QStringLiteral("line %1: firmware: %2").arg(firmware->second.number).arg(error));
    const FirmwareVersion version {
        uint8_t(canonical.section('.', 0, 0).toInt()), uint8_t(canonical.section('.', 1).toInt())};
    uint32_t word1 = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const auto found = given.find(ModeKey(1, bit));
        if (found != given.end() && found->second.value.trimmed() == "on")
            word1 |= 1u << bit;
    }
    parse.snapshot.shape = ShapeOf(version, ReadsModeWords(version), word1);
    return true;
}

}  // namespace

QByteArray SettingsFileText(const SettingsSnapshot& snapshot)
{
    QByteArray text = "# Kalvor module settings: one \"key = value\" a line; from \"#\" on, a comment\n"
                      "# (the setting's label as the window shows it).\n";
    text += "format = " + QByteArray::number(kSettingsFileFormat) + "\n";
    for (const SettingSpec& spec : SettingsOf(snapshot.shape)) {
        if (!snapshot.Has(spec.key))
            continue;
        QByteArray line = QByteArray::fromStdString(spec.key) + " = " + snapshot.Value(spec.key).toLatin1();
        if (spec.group != SettingGroup::Info || spec.key == "mac") {
            line = line.leftJustified(kCommentColumn - 1) + " # " + spec.label.toLatin1();
        }
        text += line + "\n";
    }
    return text;
}

SettingsFileParse ParseSettingsFile(const QByteArray& text)
{
    SettingsFileParse parse;
    std::vector<std::pair<std::string, Line>> lines;
    if (!ReadLines(text, lines, parse) || !TakeFormat(lines, parse))
        return parse;
    const std::map<std::string, Line> given(lines.begin() + 1, lines.end());
    if (!TakeShape(given, parse))
        return parse;
    const std::vector<SettingSpec> specs = SettingsOf(parse.snapshot.shape);
    const QString firmware = parse.snapshot.shape.version.Text();
    for (const SettingSpec& spec : specs) {
        const auto found = given.find(spec.key);
        if (found == given.end()) {
            Fail(parse, QStringLiteral("%1 is missing (firmware %2 has it)").arg(spec.key.c_str(), firmware));
            return parse;
        }
        QString canonical, error;
        if (!CanonicalValue(spec, found->second.value, canonical, error)) {
            Fail(parse,
                QStringLiteral("line %1: %2: \"%3\" is %4")
                    .arg(found->second.number)
                    .arg(spec.key.c_str(), found->second.value, error));
            return parse;
        }
        parse.snapshot.values[spec.key] = canonical;
    }
    for (const auto& [key, line] : given)
        if (!parse.snapshot.Has(key)) {
            Fail(parse,
                QStringLiteral("line %1: %2 is no setting of a module of firmware %3 with these modes")
                    .arg(line.number)
                    .arg(key.c_str(), firmware));
            return parse;
        }
    parse.ok = true;
    return parse;
}

SettingsFileParse ReadSettingsFile(const QString& path)
{
    SettingsFileParse parse;
    QFile file(path);
    if (QFileInfo(path).isDir()) {
        Fail(parse, "a folder, not a file");
        return parse;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(parse, file.errorString());
        return parse;
    }
    const QByteArray text = file.read(kLargestFile + 1);
    if (text.size() > kLargestFile) {
        Fail(parse, "too large to be a module settings file");
        return parse;
    }
    return ParseSettingsFile(text);
}

bool WriteSettingsFile(const QString& path, const SettingsSnapshot& snapshot, QString& error)
{
    const QByteArray text = SettingsFileText(snapshot);
    std::string reason;
    const FileReplace replaced
        = ReplaceFileContents(QFile::encodeName(path).toStdString(), text.constData(), size_t(text.size()), reason);
    error = QString::fromLocal8Bit(reason.c_str());
    return replaced == FileReplace::Done;
}
