#include "ScriptedUi.h"

#include "platform/DialogTemplate.h"

ScriptedUi::ScriptedUi() : m_previous(SetUiSeam(this)) { }

ScriptedUi::~ScriptedUi() { SetUiSeam(m_previous); }

QStringList ScriptedUi::BoxTexts() const
{
    QStringList texts;
    for (const ShownBox& box : m_boxes)
        texts << box.text;
    return texts;
}

namespace {
// What an operator who just confirms answers: Yes where there is a Yes.
int DefaultAnswer(unsigned flags)
{
    const unsigned type = flags & MB_TYPEMASK;
    return (type == MB_YESNO || type == MB_YESNOCANCEL) ? IDYES : IDOK;
}

template <class Queue> auto TakeFront(Queue& queue, typename Queue::value_type fallback)
{
    if (queue.empty())
        return fallback;
    auto front = queue.front();
    queue.pop_front();
    return front;
}
}  // namespace

int ScriptedUi::MessageBox(QWidget*, const QString& text, const QString& caption, unsigned flags)
{
    m_boxes.push_back({text, caption, flags});
    return TakeFront(m_answers, DefaultAnswer(flags));
}

QString ScriptedUi::GetOpenFileName(QWidget*, const FileDialogSpec& spec)
{
    fileDialogs.push_back(spec);
    return TakeFront(m_openFiles, QString());
}

QString ScriptedUi::GetSaveFileName(QWidget*, const FileDialogSpec& spec)
{
    fileDialogs.push_back(spec);
    return TakeFront(m_saveFiles, QString());
}
