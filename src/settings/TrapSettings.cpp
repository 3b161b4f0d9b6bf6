#include "settings/TrapSettings.h"

#include <QByteArray>
#include <QList>

#include "settings/SettingsRead.h"
#include "snmp/ModuleObjects.h"

namespace TrapSettings {

namespace {
constexpr int32_t kThresholdMask = 0xFFFF;
constexpr uint32_t kCommunitySlot = kServerSlot + 1;

SnmpVarSpec Threshold(const std::string& oid, int32_t value) { return {oid, std::to_string(value), 'i'}; }
}  // namespace

std::string LowObject(int channel) { return Oid::TrapThreshold(2 * channel + 1); }
std::string HighObject(int channel) { return Oid::TrapThreshold(2 * channel + 2); }

const std::vector<std::string>& ReadObjects()
{
    static const std::vector<std::string> objects = [] {
        std::vector<std::string> all;
        for (int n = 1; n <= 2 * kTrapChannels; ++n)
            all.push_back(Oid::TrapThreshold(n));
        all.push_back(Oid::kTrapServer);
        all.push_back(Oid::kTrapCommunity);
        return all;
    }();
    return objects;
}

TrapValues FromReads(const CSnmpRequest& request)
{
    TrapValues values;
    for (int channel = 0; channel < kTrapChannels; ++channel) {
        values.low[channel] = request.GetInteger(uint32_t(2 * channel)) & kThresholdMask;
        values.high[channel] = request.GetInteger(uint32_t(2 * channel + 1)) & kThresholdMask;
    }
    values.server = IpTextFromWord(static_cast<uint32_t>(request.GetInteger(kServerSlot)));
    values.community = TrapCommunityFromPrinted(request.GetText(kCommunitySlot));
    return values;
}

std::vector<SnmpVarSpec> Changes(const TrapValues& read, const TrapValues& wanted)
{
    std::vector<SnmpVarSpec> changes;
    for (int channel = 0; channel < kTrapChannels; ++channel)
        if (wanted.low[channel] != read.low[channel])
            changes.push_back(Threshold(LowObject(channel), wanted.low[channel]));
    for (int channel = 0; channel < kTrapChannels; ++channel)
        if (wanted.high[channel] != read.high[channel])
            changes.push_back(Threshold(HighObject(channel), wanted.high[channel]));
    if (wanted.server != read.server)
        changes.push_back({Oid::kTrapServer, wanted.server.toStdString(), 'a'});
    const QByteArray community = wanted.community.toLatin1();
    if (community != read.community.toLatin1())
        changes.push_back({Oid::kTrapCommunity, community.toStdString(), 's'});
    return changes;
}

}  // namespace TrapSettings

QString TrapCommunityFromPrinted(const char* printed)
{
    static const QByteArray kQuoted = "STRING: \"";
    static const QByteArray kHex = "Hex-STRING: ";
    const QByteArray text(printed ? printed : "");
    QByteArray bytes;
    if (text.startsWith(kQuoted)) {
        // Net-SNMP puts a backslash before a quotation mark or backslash of
        // the value; the value ends at the first quotation mark without one.
        for (int i = kQuoted.size(); i < text.size() && text[i] != '"'; ++i) {
            if (text[i] == '\\' && i + 1 < text.size())
                ++i;
            bytes.append(text[i]);
        }
        bytes.truncate(kTrapCommunityLength);
    } else if (text.startsWith(kHex)) {
        // Net-SNMP dumps an octet string in hex when it holds bytes that do
        // not print: take the bytes themselves, up to a terminating zero.
        const QList<QByteArray> pairs = text.mid(kHex.size()).simplified().split(' ');
        for (const QByteArray& pair : pairs) {
            bool ok = false;
            const int byte = pair.toInt(&ok, 16);
            if (!ok || byte == 0 || bytes.size() == kTrapCommunityLength)
                break;
            bytes.append(char(byte));
        }
    }
    return QString::fromLatin1(bytes);
}
