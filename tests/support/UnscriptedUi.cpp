// Installed in every test executable at start-up: a message box or file
// dialog that no test scripted fails the running test at once instead of
// opening a real modal window offscreen, where nobody can close it.

#include <QCoreApplication>
#include <QTest>

#include "platform/DialogTemplate.h"
#include "platform/UiSeam.h"

namespace {

class UnscriptedUi : public IUiSeam {
public:
    int MessageBox(QWidget*, const QString& text, const QString&, unsigned) override
    {
        Unexpected("message box", text);
        return IDCANCEL;
    }
    QString GetOpenFileName(QWidget*, const FileDialogSpec& spec) override
    {
        Unexpected("open-file dialog", spec.title);
        return QString();
    }
    QString GetSaveFileName(QWidget*, const FileDialogSpec& spec) override
    {
        Unexpected("save-file dialog", spec.title);
        return QString();
    }
    void SetClipboardText(const QString& text) override { m_clipboard = text; }
    QString ClipboardText() override { return m_clipboard; }

private:
    static void Unexpected(const char* what, const QString& text)
    {
        const QByteArray message = QByteArray("unscripted ") + what + ": " + text.toLocal8Bit();
        QTest::qFail(message.constData(), __FILE__, __LINE__);
    }
    QString m_clipboard;
};

void InstallUnscriptedUi()
{
    static UnscriptedUi seam;
    SetUiSeam(&seam);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallUnscriptedUi)
