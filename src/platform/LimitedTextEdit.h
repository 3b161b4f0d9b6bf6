#pragma once
#include <QPlainTextEdit>

// Multi-line edit with an operator character limit. Like the platform's edit
// it hands out its text with CR LF line breaks and counts a line break as two
// characters against the limit. The limit only stops typing and pasting; text
// set by the program is kept whole.
class CLimitedTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CLimitedTextEdit(QWidget* parent = nullptr);

    void SetLimit(int maxChars);  // 0 = no limit
    int Limit() const { return m_limit; }
    // Without it, Return is left to the dialog (which presses its default button).
    void SetWantReturn(bool wantReturn) { m_wantReturn = wantReturn; }

    QString Text() const;  // CR LF line breaks
    void SetText(const QString& text);  // CR LF or LF; no userEdited signal

signals:
    void userEdited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    int Room() const;  // characters that may still be typed over the selection
    static int CountedLength(const QString& text);

    int m_limit = 0;
    bool m_wantReturn = false;
    bool m_settingText = false;
};
