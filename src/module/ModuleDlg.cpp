#include "module/ModuleDlg.h"

#include "platform/IpAddressCtrl.h"
#include "res/Strings.h"

const ExchangeTexts kPlainExchange = {kStatusConnecting, kStatusSnmpError};

namespace {
constexpr const char* kNothingSent = "Nothing sent: correct the marked field first.";
constexpr const char* kIncompleteIp = "ERROR in IP address. Fill in all four numbers.";
}

CModuleDlg::CModuleDlg(const DialogTemplate& tpl, const SubWindowArgs& access, QWidget* parent)
    : CDialog(tpl, parent),
      m_moduleIp(access.moduleIp),
      m_rwCommunity(access.rwCommunity),
      m_roCommunity(access.roCommunity)
{
}

std::unique_ptr<CSnmpRequest> CModuleDlg::NewRequest(Community community, uint32_t capacity) const
{
    const QString& text = community == Community::ReadWrite ? m_rwCommunity : m_roCommunity;
    return std::make_unique<CSnmpRequest>(
        ModuleAddress().toLatin1().constData(), text.toLatin1().constData(), capacity);
}

int CModuleDlg::RunGet(CSnmpRequest& request, const ExchangeTexts& texts) { return Run(request, false, texts); }

int CModuleDlg::RunSet(CSnmpRequest& request, const ExchangeTexts& texts) { return Run(request, true, texts); }

int CModuleDlg::Run(CSnmpRequest& request, bool set, const ExchangeTexts& texts)
{
    SetStatus(QString::fromLatin1(texts.connecting));
    const int result = set ? request.Set() : request.Get();
    if (result < 0)
        ShowSnmpError(result, texts);
    return result;
}

void CModuleDlg::ShowSnmpError(int code, const ExchangeTexts& texts)
{
    SetStatus(QString::fromLatin1(texts.error).arg(code));
}

bool CModuleDlg::TakeFields()
{
    if (UpdateData(true))
        return true;
    RefuseBadField();
    return false;
}

bool CModuleDlg::CheckIpComplete(int id)
{
    uint32_t address = 0;
    const CIPAddressCtrl* control = IpCtrl(id);
    if (control && control->GetAddress(address) == 4)
        return true;
    SetStatus(QString::fromLatin1(kIncompleteIp));
    return false;
}

void CModuleDlg::RefuseBadField() { ShowStatusOnly(QString::fromLatin1(kNothingSent)); }

bool IsLatin1(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}
