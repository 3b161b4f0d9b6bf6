#pragma once
#include <QTabBar>
#include <functional>

// Tab strip whose operator changes are announced twice: a check asked before
// the change, while the old tab is still current, that can veto it; and
// userSelChanged after it. Changes made by the program (setCurrentIndex,
// adding the first tab) announce nothing.
class CTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit CTabBar(QWidget* parent = nullptr);

    // Asked before an operator's change; false keeps the current tab.
    void SetChangingCheck(std::function<bool()> check) { m_changingCheck = std::move(check); }
    // Changes the tab the way a click on it does (check first, then signal).
    void SelectAsUser(int index);

signals:
    void userSelChanged(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    template <class Action> void AsUser(Action action)
    {
        ++m_userDepth;
        action();
        --m_userDepth;
    }
    void OnCurrentChanged(int index);
    void SetQuietly(int index);

    std::function<bool()> m_changingCheck;
    int m_userDepth = 0;
    int m_shown = -1;  // the tab the dialog was last told about
};
