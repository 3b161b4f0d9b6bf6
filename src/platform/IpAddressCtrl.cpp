#include "platform/IpAddressCtrl.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QValidator>
#include <QStyleOptionFrame>
#include <utility>

#include "platform/UiSeam.h"

namespace {
const int kFieldCount = 4;

// What one field may hold: nothing, or a number 0..255 of up to three digits.
const QRegularExpression& OctetRule()
{
    static const QRegularExpression kOctet(
        QRegularExpression::anchoredPattern(QStringLiteral("(25[0-5]|2[0-4][0-9]|[01]?[0-9]?[0-9])?")));
    return kOctet;
}

// The four field texts of a whole dotted address, or nothing.
QStringList DottedFields(const QString& text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != kFieldCount)
        return {};
    for (const QString& part : parts) {
        if (part.isEmpty() || !OctetRule().match(part).hasMatch())
            return {};
    }
    return parts;
}

// A field's check against the one shared rule: its pattern is compiled once
// for every field of every control, not once per field on its first check.
class OctetValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override
    {
        const QRegularExpressionMatch match
            = OctetRule().match(input, 0, QRegularExpression::PartialPreferCompleteMatch);
        if (match.hasMatch())
            return Acceptable;
        if (input.isEmpty() || match.hasPartialMatch())
            return Intermediate;
        position = int(input.size());
        return Invalid;
    }
};

bool IsSeparatorKey(int key) { return key == Qt::Key_Period || key == Qt::Key_Space; }

bool IsModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_AltGr
        || key == Qt::Key_Meta;
}

QLabel* MakeDot(QWidget* parent)
{
    auto* dot = new QLabel(QStringLiteral("."), parent);
    dot->setAlignment(Qt::AlignCenter);
    dot->setAttribute(Qt::WA_TransparentForMouseEvents);
    return dot;
}

QLineEdit* MakeField(QWidget* parent, int index)
{
    auto* field = new QLineEdit(parent);
    field->setFrame(false);
    field->setAlignment(Qt::AlignCenter);
    field->setMaxLength(3);
    field->setValidator(new OctetValidator(field));
    // Tab enters the control at its first field and leaves it from any field.
    field->setFocusPolicy(index == 0 ? Qt::StrongFocus : Qt::ClickFocus);
    return field;
}
}  // namespace

CIPAddressCtrl::CIPAddressCtrl(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(3, 2, 3, 2);
    layout->setSpacing(0);
    for (int index = 0; index < kFieldCount; ++index) {
        if (index > 0)
            layout->addWidget(MakeDot(this));
        QLineEdit* field = MakeField(this, index);
        field->installEventFilter(this);
        connect(
            field, &QLineEdit::textEdited, this, [this, index](const QString& text) { OnFieldEdited(index, text); });
        layout->addWidget(field, 1);
        m_fields[index] = field;
    }
    setFocusProxy(m_fields[0]);
}

int CIPAddressCtrl::GetAddress(uint32_t& address) const
{
    int filled = 0;
    address = 0;
    for (const QLineEdit* field : m_fields) {
        address = (address << 8) | (field->text().toUInt() & 0xFF);
        if (!field->text().isEmpty())
            ++filled;
    }
    return filled;
}

void CIPAddressCtrl::SetAddress(uint32_t address)
{
    SetAddress(int(address >> 24), int(address >> 16), int(address >> 8), int(address));
}

void CIPAddressCtrl::SetAddress(int b1, int b2, int b3, int b4)
{
    const int octets[kFieldCount] = {b1, b2, b3, b4};
    for (int index = 0; index < kFieldCount; ++index)
        m_fields[index]->setText(QString::number(octets[index] & 0xFF));
}

void CIPAddressCtrl::ClearAddress()
{
    for (QLineEdit* field : m_fields)
        field->clear();
}

bool CIPAddressCtrl::IsBlank() const
{
    for (const QLineEdit* field : m_fields) {
        if (!field->text().isEmpty())
            return false;
    }
    return true;
}

void CIPAddressCtrl::SetReadOnly(bool readOnly)
{
    for (QLineEdit* field : m_fields)
        field->setReadOnly(readOnly);
    update();
}

bool CIPAddressCtrl::IsReadOnly() const { return m_fields[0]->isReadOnly(); }

QLineEdit* CIPAddressCtrl::Field(int index) const
{
    return index >= 0 && index < kFieldCount ? m_fields[index] : nullptr;
}

int CIPAddressCtrl::IndexOf(QObject* field) const
{
    for (int index = 0; index < kFieldCount; ++index) {
        if (m_fields[index] == field)
            return index;
    }
    return -1;
}

bool CIPAddressCtrl::OwnsFocus() const { return IndexOf(QApplication::focusWidget()) >= 0; }

void CIPAddressCtrl::OnFieldEdited(int index, const QString& text)
{
    emit fieldChanged();
    if (text.size() == 3 && index + 1 < kFieldCount) {
        MoveToField(index + 1, false);
        m_movedByThirdDigit = true;
    }
}

void CIPAddressCtrl::MoveToField(int index, bool cursorAtEnd)
{
    QLineEdit* field = m_fields[index];
    field->setFocus(Qt::OtherFocusReason);
    if (cursorAtEnd) {
        field->end(false);
    } else {
        field->selectAll();
    }
}

// A whole dotted address fills the four fields; other text goes into the
// field as typing would put it there (what the field cannot hold is refused).
void CIPAddressCtrl::Paste(int index)
{
    if (IsReadOnly())
        return;
    const QString text = Ui().ClipboardText();
    const QStringList parts = DottedFields(text);
    if (parts.isEmpty()) {
        m_fields[index]->insert(text.trimmed());
        return;
    }
    for (int part = 0; part < kFieldCount; ++part)
        m_fields[part]->setText(parts[part]);
    MoveToField(kFieldCount - 1, true);
    emit fieldChanged();
}

// The field's own menu, its Paste going through Paste() above.
void CIPAddressCtrl::ShowFieldMenu(int index, const QPoint& globalPos)
{
    QLineEdit* field = m_fields[index];
    QMenu* menu = field->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction* action : menu->actions()) {
        if (action->text().section(QLatin1Char('\t'), 0, 0) == QLineEdit::tr("&Paste")) {
            QObject::disconnect(action, nullptr, field, nullptr);
            action->setEnabled(!IsReadOnly() && !Ui().ClipboardText().isEmpty());
            connect(action, &QAction::triggered, this, [this, index] { Paste(index); });
        }
    }
    menu->popup(globalPos);
}

// '.' and blank go to the next field (except right after a third digit moved
// there), arrows and Backspace cross the field borders, Paste may fill every
// field; returns true when the key was used up.
bool CIPAddressCtrl::HandleFieldKey(int index, const QKeyEvent& event)
{
    const int key = event.key();
    const bool justMoved = IsModifierKey(key) ? m_movedByThirdDigit : std::exchange(m_movedByThirdDigit, false);
    const QLineEdit* field = m_fields[index];
    const bool atStart = field->cursorPosition() == 0 && !field->hasSelectedText();
    const bool atEnd = field->cursorPosition() == field->text().size() && !field->hasSelectedText();
    const bool hasNext = index + 1 < kFieldCount;
    const bool hasPrevious = index > 0;
    if (event.matches(QKeySequence::Paste)) {
        Paste(index);
        return true;
    }
    if (IsSeparatorKey(key)) {
        if (hasNext && !justMoved && !field->text().isEmpty())
            MoveToField(index + 1, false);
        return true;
    }
    if (key == Qt::Key_Right && atEnd && hasNext) {
        MoveToField(index + 1, false);
        m_fields[index + 1]->home(false);
        return true;
    }
    if ((key == Qt::Key_Left || key == Qt::Key_Backspace) && atStart && hasPrevious) {
        MoveToField(index - 1, true);
        return true;
    }
    return false;
}

bool CIPAddressCtrl::eventFilter(QObject* watched, QEvent* event)
{
    const int index = IndexOf(watched);
    if (index < 0)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        if (HandleFieldKey(index, *static_cast<QKeyEvent*>(event)))
            return true;
        break;
    case QEvent::ContextMenu:
        ShowFieldMenu(index, static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    case QEvent::MouseButtonPress:
        m_movedByThirdDigit = false;
        break;
    case QEvent::FocusOut:
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason && !OwnsFocus()) {
            m_movedByThirdDigit = false;
            emit focusLost();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void CIPAddressCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionFrame option;
    option.initFrom(this);
    option.rect = rect();
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    if (IsReadOnly())
        option.state |= QStyle::State_ReadOnly;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
}
