#include "settings/SerialSettings.h"

#include "snmp/ModuleObjects.h"

QStringList BaudRateItems()
{
    return {"300", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400"};
}

QStringList ParityItems() { return {"None", "Even", "Odd", "Space", "Mark"}; }

QStringList FlowControlItems() { return {"None", "Hardware ", "XonXoff"}; }

namespace SerialSettings {

const std::vector<std::string>& ReadObjects()
{
    static const std::vector<std::string> objects {
        Oid::kSerialBaud, Oid::kSerialParity, Oid::kSerialFlowControl, Oid::kSerialTimeout};
    return objects;
}

SerialLine FromReads(const CSnmpRequest& request)
{
    return {request.GetInteger(0), request.GetInteger(1), request.GetInteger(2),
        static_cast<uint32_t>(request.GetInteger(3))};
}

std::vector<SnmpVarSpec> Writes(int baud, int parity, uint32_t timeout)
{
    return {{Oid::kSerialBaud, std::to_string(baud), 'i'}, {Oid::kSerialParity, std::to_string(parity), 'i'},
        {Oid::kSerialTimeout, std::to_string(timeout), 'i'}};
}

}  // namespace SerialSettings
