#pragma once
// A scripted UI seam: records every message box, file dialog and clipboard
// use, and answers message boxes and file dialogs from queues. Installed by
// the constructor; the destructor puts back the seam it replaced (in a test
// executable, the one that fails the test on any box nobody scripted).

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "platform/UiSeam.h"

struct ShownBox {
    QString text;
    QString caption;
    unsigned flags;
};

class ScriptedUi : public IUiSeam {
public:
    ScriptedUi();
    ~ScriptedUi() override;

    // Answers for the next message boxes, in order. With the queue empty a box
    // is answered IDOK (or IDYES for a Yes/No box).
    void QueueAnswer(int answer) { m_answers.push_back(answer); }
    void QueueOpenFile(const QString& path) { m_openFiles.push_back(path); }
    void QueueSaveFile(const QString& path) { m_saveFiles.push_back(path); }

    const std::vector<ShownBox>& Boxes() const { return m_boxes; }
    QStringList BoxTexts() const;
    void ClearBoxes() { m_boxes.clear(); }
    QString clipboard;

    int MessageBox(QWidget* parent, const QString& text, const QString& caption, unsigned flags) override;
    QString GetOpenFileName(QWidget* parent, const FileDialogSpec& spec) override;
    QString GetSaveFileName(QWidget* parent, const FileDialogSpec& spec) override;
    void SetClipboardText(const QString& text) override { clipboard = text; }
    QString ClipboardText() override { return clipboard; }

    std::vector<FileDialogSpec> fileDialogs;

private:
    IUiSeam* m_previous = nullptr;
    std::vector<ShownBox> m_boxes;
    std::deque<int> m_answers;
    std::deque<QString> m_openFiles;
    std::deque<QString> m_saveFiles;
};
