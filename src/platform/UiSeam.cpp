#include "platform/UiSeam.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>
#include <algorithm>
#include <iterator>

#include "platform/DialogTemplate.h"

namespace {

const char* const kApplicationTitle = "Kalvor";

struct IconChoice {
    unsigned flag;
    QMessageBox::Icon icon;
};
const IconChoice kIcons[] = {
    {MB_ICONSTOP, QMessageBox::Critical},
    {MB_ICONQUESTION, QMessageBox::Question},
    {MB_ICONEXCLAMATION, QMessageBox::Warning},
    {MB_ICONINFORMATION, QMessageBox::Information},
};

struct ButtonChoice {
    unsigned type;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
};
const ButtonChoice kButtonSets[] = {
    {MB_OK, QMessageBox::Ok, QMessageBox::Ok},
    {MB_OKCANCEL, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok},
    {MB_YESNOCANCEL, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes},
    {MB_YESNO, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes},
};

struct AnswerChoice {
    QMessageBox::StandardButton button;
    int answer;
};
const AnswerChoice kAnswers[] = {
    {QMessageBox::Ok, IDOK},
    {QMessageBox::Cancel, IDCANCEL},
    {QMessageBox::Yes, IDYES},
    {QMessageBox::No, IDNO},
};

template <class Table, class Match> auto Find(const Table& table, Match match)
{
    const auto found = std::find_if(std::begin(table), std::end(table), match);
    return found != std::end(table) ? &*found : nullptr;
}

QMessageBox::Icon IconFor(unsigned flags)
{
    const auto* choice = Find(kIcons, [flags](const IconChoice& c) { return c.flag == (flags & MB_ICONMASK); });
    return choice ? choice->icon : QMessageBox::NoIcon;
}

const ButtonChoice& ButtonsFor(unsigned flags)
{
    const auto* choice = Find(kButtonSets, [flags](const ButtonChoice& c) { return c.type == (flags & MB_TYPEMASK); });
    return choice ? *choice : kButtonSets[0];
}

int AnswerFor(int button)
{
    const auto* choice = Find(kAnswers, [button](const AnswerChoice& c) { return c.button == button; });
    return choice ? choice->answer : IDCANCEL;
}

QString RunFileDialog(QWidget* parent, const FileDialogSpec& spec, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, spec.title, QString(), spec.filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QString suffix = spec.defaultExt;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);  // the dialog also asks before overwriting
    if (!spec.initialName.isEmpty())
        dialog.selectFile(spec.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

// The product's seam: real Qt dialogs and the system clipboard.
class QtUiSeam final : public IUiSeam {
public:
    int MessageBox(QWidget* parent, const QString& text, const QString& caption, unsigned flags) override
    {
        const ButtonChoice& buttons = ButtonsFor(flags);
        QMessageBox box(IconFor(flags), caption, text, buttons.buttons, parent);
        box.setDefaultButton(buttons.defaultButton);
        // Like every modal run, a box blocks the window it belongs to, not the others.
        box.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
        return AnswerFor(box.exec());
    }
    QString GetOpenFileName(QWidget* parent, const FileDialogSpec& spec) override
    {
        return RunFileDialog(parent, spec, QFileDialog::AcceptOpen);
    }
    QString GetSaveFileName(QWidget* parent, const FileDialogSpec& spec) override
    {
        return RunFileDialog(parent, spec, QFileDialog::AcceptSave);
    }
    void SetClipboardText(const QString& text) override { QGuiApplication::clipboard()->setText(text); }
    QString ClipboardText() override { return QGuiApplication::clipboard()->text(); }
};

IUiSeam* g_installedSeam = nullptr;

IUiSeam& RealSeam()
{
    static QtUiSeam seam;
    return seam;
}

}  // namespace

IUiSeam& Ui() { return g_installedSeam ? *g_installedSeam : RealSeam(); }

IUiSeam* SetUiSeam(IUiSeam* seam)
{
    IUiSeam* previous = g_installedSeam;
    g_installedSeam = seam;
    return previous;
}

int AfxMessageBox(const QString& text, unsigned flags)
{
    return Ui().MessageBox(QApplication::activeWindow(), text, QString::fromLatin1(kApplicationTitle), flags);
}
