#include "platform/DataExchange.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QWidget>

#include "platform/ControlText.h"
#include "platform/Dialog.h"
#include "platform/NumberText.h"
#include "platform/UiSeam.h"

namespace DdxMessages {
const char* const kInteger = "Please enter an integer.";
const char* const kPositiveInteger = "Please enter a positive integer.";
const char* const kIntegerRange = "Please enter an integer between %1 and %2.";
const char* const kByte = "Please enter an integer between 0 and 255.";
const char* const kNumber = "Please enter a number.";
const char* const kNumberRange = "Please enter a number between %1 and %2.";
const char* const kMaxChars = "Please enter no more than %1 characters.";
}  // namespace DdxMessages

CDataExchange::CDataExchange(CDialog* dialog, bool saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog)
{
}

QWidget* CDataExchange::PrepareControl(int id)
{
    m_lastId = id;
    m_lastControl = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(id) : nullptr;
    if (!m_lastControl)
        qWarning("Field exchange: template %d has no control %d", m_pDlgWnd ? m_pDlgWnd->TemplateId() : 0, id);
    return m_lastControl;
}

void CDataExchange::Fail(const QString& message, bool taken)
{
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    m_failed = true;
    m_failedTaken = taken;
    FocusForCorrection(m_lastControl);
}

namespace {

using namespace NumberText;

std::optional<uint8_t> ParseByte(const QString& text)
{
    const std::optional<uint32_t> value = ParseUnsigned(text);
    if (!value || *value > 255)
        return std::nullopt;
    return static_cast<uint8_t>(*value);
}

std::optional<float> ParseFloat(const QString& text)
{
    const std::optional<double> value = ParseReal(text);
    if (!value || std::abs(*value) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return static_cast<float>(*value);
}

QString FormatUnsigned(uint32_t value) { return QString::number(value); }
QString FormatSigned(int32_t value) { return QString::number(value); }
QString FormatByte(uint8_t value) { return QString::number(value); }
QString FormatFloat(float value) { return FormatReal(value, kFloatDigits); }
QString FormatDouble(double value) { return FormatReal(value, kDoubleDigits); }

// The control for a DDX_ call, or nullptr when the call has nothing to do.
QWidget* Begin(CDataExchange& dx, int id)
{
    if (dx.Stopped())
        return nullptr;
    return dx.PrepareControl(id);
}

template <class T>
void ExchangeNumber(CDataExchange& dx, int id, T& value, std::optional<T> (*parse)(const QString&),
    QString (*format)(T), const char* message)
{
    QWidget* control = Begin(dx, id);
    if (!control)
        return;
    if (!dx.m_bSaveAndValidate) {
        SetControlText(control, format(value));
        return;
    }
    const std::optional<T> parsed = parse(ControlText(control));
    if (!parsed) {
        dx.Fail(QString::fromLatin1(message));
        return;
    }
    value = *parsed;
}

// The value was taken already (and kept as typed); only the range is checked.
template <class T>
void CheckRange(CDataExchange& dx, T value, T minVal, T maxVal, QString (*format)(T), const char* message)
{
    if (!dx.m_bSaveAndValidate || dx.Stopped())
        return;
    if (value < minVal || value > maxVal)
        dx.Fail(QString::fromLatin1(message).arg(format(minVal), format(maxVal)), true);
}

QButtonGroup* RadioGroup(QAbstractButton* first) { return first ? first->group() : nullptr; }

void PushRadio(QButtonGroup* group, int index)
{
    const bool exclusive = group->exclusive();
    group->setExclusive(false);  // lets "none checked" be shown
    for (QAbstractButton* button : group->buttons())
        button->setChecked(group->id(button) == index);
    group->setExclusive(exclusive);
}

}  // namespace

void DDX_Text(CDataExchange& dx, int id, QString& value)
{
    QWidget* control = Begin(dx, id);
    if (!control)
        return;
    if (dx.m_bSaveAndValidate) {
        value = ControlText(control);
    } else {
        SetControlText(control, value);
    }
}

void DDX_Text(CDataExchange& dx, int id, uint32_t& value)
{
    ExchangeNumber<uint32_t>(dx, id, value, ParseUnsigned, FormatUnsigned, DdxMessages::kPositiveInteger);
}

void DDX_Text(CDataExchange& dx, int id, int32_t& value)
{
    ExchangeNumber<int32_t>(dx, id, value, ParseSigned, FormatSigned, DdxMessages::kInteger);
}

void DDX_Text(CDataExchange& dx, int id, uint8_t& value)
{
    ExchangeNumber<uint8_t>(dx, id, value, ParseByte, FormatByte, DdxMessages::kByte);
}

void DDX_Text(CDataExchange& dx, int id, float& value)
{
    ExchangeNumber<float>(dx, id, value, ParseFloat, FormatFloat, DdxMessages::kNumber);
}

void DDX_Text(CDataExchange& dx, int id, double& value)
{
    ExchangeNumber<double>(dx, id, value, ParseReal, FormatDouble, DdxMessages::kNumber);
}

void DDX_Check(CDataExchange& dx, int id, int& value)
{
    auto* box = qobject_cast<QAbstractButton*>(Begin(dx, id));
    if (!box)
        return;
    auto* checkBox = qobject_cast<QCheckBox*>(box);
    static const Qt::CheckState kStates[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};
    if (dx.m_bSaveAndValidate) {
        const Qt::CheckState state
            = checkBox ? checkBox->checkState() : (box->isChecked() ? Qt::Checked : Qt::Unchecked);
        value = int(std::find(std::begin(kStates), std::end(kStates), state) - std::begin(kStates));
        return;
    }
    const Qt::CheckState state = (value >= 0 && value <= 2) ? kStates[value] : Qt::Unchecked;
    if (checkBox) {
        checkBox->setCheckState(state);
    } else {
        box->setChecked(state != Qt::Unchecked);
    }
}

void DDX_Check(CDataExchange& dx, int id, bool& value)
{
    int state = value ? 1 : 0;
    DDX_Check(dx, id, state);
    if (dx.m_bSaveAndValidate && !dx.Stopped())
        value = state != 0;
}

void DDX_Radio(CDataExchange& dx, int id, int& value)
{
    auto* first = qobject_cast<QAbstractButton*>(Begin(dx, id));
    if (!first)
        return;
    QButtonGroup* group = RadioGroup(first);
    if (dx.m_bSaveAndValidate) {
        value = group ? group->checkedId() : (first->isChecked() ? 0 : -1);
    } else if (group) {
        PushRadio(group, value);
    } else {
        first->setChecked(value == 0);
    }
}

void DDX_CBIndex(CDataExchange& dx, int id, int& value)
{
    auto* combo = qobject_cast<QComboBox*>(Begin(dx, id));
    if (!combo)
        return;
    if (dx.m_bSaveAndValidate) {
        value = combo->currentIndex();
    } else {
        combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
    }
}

// Pushing selects the first item that begins with the text (ignoring case);
// without one, an editable combo shows the text in its field.
void DDX_CBString(CDataExchange& dx, int id, QString& value)
{
    auto* combo = qobject_cast<QComboBox*>(Begin(dx, id));
    if (!combo)
        return;
    if (dx.m_bSaveAndValidate) {
        value = combo->currentText();
        return;
    }
    for (int item = 0; item < combo->count(); ++item) {
        if (combo->itemText(item).startsWith(value, Qt::CaseInsensitive)) {
            combo->setCurrentIndex(item);
            return;
        }
    }
    if (combo->isEditable())
        combo->setEditText(value);
}

void DDV_MaxChars(CDataExchange& dx, const QString& value, int maxChars)
{
    if (dx.Stopped())
        return;
    if (!dx.m_bSaveAndValidate) {
        SetControlLimit(dx.LastControl(), maxChars);
        return;
    }
    if (value.size() > maxChars)
        dx.Fail(QString::fromLatin1(DdxMessages::kMaxChars).arg(maxChars), true);
}

void DDV_MinMaxUInt(CDataExchange& dx, uint32_t value, uint32_t minVal, uint32_t maxVal)
{
    CheckRange<uint32_t>(dx, value, minVal, maxVal, FormatUnsigned, DdxMessages::kIntegerRange);
}

void DDV_MinMaxInt(CDataExchange& dx, int32_t value, int32_t minVal, int32_t maxVal)
{
    CheckRange<int32_t>(dx, value, minVal, maxVal, FormatSigned, DdxMessages::kIntegerRange);
}

void DDV_MinMaxByte(CDataExchange& dx, uint8_t value, uint8_t minVal, uint8_t maxVal)
{
    CheckRange<uint8_t>(dx, value, minVal, maxVal, FormatByte, DdxMessages::kIntegerRange);
}

void DDV_MinMaxFloat(CDataExchange& dx, float value, float minVal, float maxVal)
{
    CheckRange<float>(dx, value, minVal, maxVal, FormatFloat, DdxMessages::kNumberRange);
}

void DDV_MinMaxDouble(CDataExchange& dx, double value, double minVal, double maxVal)
{
    CheckRange<double>(dx, value, minVal, maxVal, FormatDouble, DdxMessages::kNumberRange);
}
