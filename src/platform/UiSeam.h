#pragma once
// Message boxes, file dialogs and the clipboard go through one seam. The
// product uses real Qt dialogs; tests install a scripted seam that records
// what was asked and answers from a queue.

#include <QString>

class QWidget;

enum MessageBoxFlags : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_TYPEMASK = 0x0F,
    MB_ICONMASK = 0xF0,
};

struct FileDialogSpec {
    QString title;  // empty: the platform's default title
    QString filter;  // Qt filter, e.g. "Configuration (*.cfg);;All files (*)"
    QString defaultExt;  // appended when the chosen name has no suffix
    QString initialName;
};

class IUiSeam {
public:
    virtual ~IUiSeam() = default;
    // Returns IDOK, IDCANCEL, IDYES or IDNO.
    virtual int MessageBox(QWidget* parent, const QString& text, const QString& caption, unsigned flags) = 0;
    // Empty string when cancelled. Save asks before overwriting an existing file.
    virtual QString GetOpenFileName(QWidget* parent, const FileDialogSpec& spec) = 0;
    virtual QString GetSaveFileName(QWidget* parent, const FileDialogSpec& spec) = 0;
    virtual void SetClipboardText(const QString& text) = 0;
    virtual QString ClipboardText() = 0;
};

IUiSeam& Ui();
// Installs a seam (nullptr: back to the real dialogs) and returns the one it
// replaces. Not owned.
IUiSeam* SetUiSeam(IUiSeam* seam);

// The application's message box: caption is the application title.
int AfxMessageBox(const QString& text, unsigned flags = MB_OK | MB_ICONEXCLAMATION);
