#include "platform/LimitedTextEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>

namespace {
const QString kCrLf = QStringLiteral("\r\n");
const QString kLf = QStringLiteral("\n");

bool IsReturn(const QKeyEvent* event) { return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter; }
}  // namespace

CLimitedTextEdit::CLimitedTextEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);  // Tab moves through the dialog, as in every edit
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_settingText)
            emit userEdited();
    });
}

void CLimitedTextEdit::SetLimit(int maxChars) { m_limit = maxChars > 0 ? maxChars : 0; }

QString CLimitedTextEdit::Text() const { return toPlainText().replace(kLf, kCrLf); }

void CLimitedTextEdit::SetText(const QString& text)
{
    m_settingText = true;
    setPlainText(QString(text).replace(kCrLf, kLf));
    m_settingText = false;
}

int CLimitedTextEdit::CountedLength(const QString& text) { return int(text.size() + text.count(QLatin1Char('\n'))); }

int CLimitedTextEdit::Room() const
{
    const QString selected = textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return m_limit - (CountedLength(toPlainText()) - CountedLength(selected));
}

void CLimitedTextEdit::keyPressEvent(QKeyEvent* event)
{
    if (IsReturn(event) && !m_wantReturn && !(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();  // the dialog presses its default button
        return;
    }
    const QString typed = IsReturn(event) ? kLf : event->text();
    const bool inserts = !typed.isEmpty() && (typed == kLf || typed.at(0).isPrint());
    if (m_limit > 0 && inserts && !isReadOnly() && CountedLength(typed) > Room()) {
        QApplication::beep();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CLimitedTextEdit::insertFromMimeData(const QMimeData* source)
{
    if (m_limit == 0 || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QString text = source->text().replace(kCrLf, kLf);
    int room = Room();
    int keep = 0;
    for (; keep < text.size(); ++keep) {
        room -= CountedLength(text.mid(keep, 1));
        if (room < 0)
            break;
    }
    insertPlainText(text.left(keep));
}
