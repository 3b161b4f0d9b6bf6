#include "module/ModuleDlg.h"

#include <QEventLoop>
#include <QPushButton>

#include "platform/Busy.h"
#include "platform/IpAddressCtrl.h"
#include "res/Strings.h"

const ExchangeTexts kPlainExchange = {kStatusConnecting, kStatusSnmpError};

namespace {
constexpr const char* kNothingSent = "Nothing sent: correct the marked field first.";
constexpr const char* kIncompleteIp = "ERROR in IP address. Fill in all four numbers.";
constexpr const char* kCancel = "Cancel";
constexpr const char* kWaitingFor = "Waiting for %1 ... (Cancel to stop)";
constexpr const char* kCancelledRead = "Cancelled: nothing was read.";
constexpr const char* kCancelledWrite = "Cancelled: %1 of %2 values were written.";
constexpr int kCancelGap = 4;  // pixels between the status line and the Cancel button
}

CModuleDlg::CModuleDlg(const DialogTemplate& tpl, const SubWindowArgs& access, QWidget* parent)
    : CDialog(tpl, parent),
      m_moduleIp(access.moduleIp),
      m_rwCommunity(access.rwCommunity),
      m_roCommunity(access.roCommunity)
{
    m_cancelButton = new QPushButton(QString::fromLatin1(kCancel), Page());
    m_cancelButton->setObjectName(QStringLiteral("cancelExchange"));
    m_cancelButton->setProperty("kalvorCancelButton", true);
    m_cancelButton->setCursor(Qt::ArrowCursor);
    m_cancelButton->setAutoDefault(false);
    m_cancelButton->resize(m_cancelButton->sizeHint());
    m_cancelButton->hide();
    connect(m_cancelButton, &QPushButton::clicked, this, [] { CBusy::Cancel(); });
    connect(&CBusy::Instance(), &CBusy::cancelShown, this, [this](QWidget* window, bool shown) {
        if (window == this)
            ShowCancelButton(shown);
    });
    connect(&CBusy::Instance(), &CBusy::waitingFor, this, [this](QWidget* window, const QString& host) {
        if (window == this)
            ShowWaitingFor(host);
    });
}

// The button takes the right end of the status line's place.
void CModuleDlg::ShowCancelButton(bool shown)
{
    QWidget* statusLine = GetDlgItem(IDC_STATUS);
    if (!statusLine || shown == m_cancelButton->isVisible())
        return;
    if (!shown) {
        m_cancelButton->hide();
        statusLine->resize(m_statusWidth, statusLine->height());
        return;
    }
    const QRect line = statusLine->geometry();
    const QSize size = m_cancelButton->sizeHint();
    m_statusWidth = line.width();
    statusLine->resize(std::max(0, line.width() - size.width() - kCancelGap), line.height());
    m_cancelButton->setGeometry(line.right() + 1 - size.width(), line.center().y() - size.height() / 2, size.width(),
        size.height());
    m_cancelButton->show();
    m_cancelButton->raise();
}

void CModuleDlg::ShowWaitingFor(const QString& host)
{
    if (host.isEmpty()) {
        ShowStatusOnly(m_statusBeforeWaiting);
        return;
    }
    m_statusBeforeWaiting = m_status;
    ShowStatusOnly(QString::fromLatin1(kWaitingFor).arg(host));
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
    if (code == CSnmpRequest::kCancelled)
        SetStatus(CancelledText());
    else
        SetStatus(QString::fromLatin1(texts.error).arg(code));
}

QString CModuleDlg::CancelledText()
{
    const CBusy::CancelledBatch batch = CBusy::LastCancelled();
    if (!batch.write)
        return QString::fromLatin1(kCancelledRead);
    return QString::fromLatin1(kCancelledWrite).arg(batch.done).arg(batch.total);
}

bool CModuleDlg::RunChain(
    const std::function<void(std::function<void()> ended)>& start, const std::function<void()>& cancel)
{
    if (CBusy::Cancelled())
        return false;
    QEventLoop loop;
    bool ended = false;
    start([&ended, &loop] {
        ended = true;
        loop.quit();
    });
    // A cancel during a batch the chain ran itself (a Get or Set that waited)
    // ends the chain here, before it sends anything more.
    if (!ended && !CBusy::Cancelled())
        CBusy::Wait(loop);
    if (!ended)
        cancel();
    return true;
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
