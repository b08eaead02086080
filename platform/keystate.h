#pragma once

#include <QObject>

#include <map>
#include <set>

// The keyboard state as seen by the program's own windows: a key counts as
// down while it is held, and once after a press that was released again
// before the next query. Keys typed into other programs never reach it, and
// everything is forgotten when the program loses the focus. Keys typed into
// a text box or a popup (a context menu), or pressed in a dialog or a
// question, do not count.
class KeyState : public QObject
{
    Q_OBJECT
public:
    // The instance watching the application; created on first use.
    static KeyState &instance();

    // True when the key is held now or was pressed since the last query of
    // that key. Keypad keys are told apart from the main keys.
    bool isDown(int key, bool keypad = false);

    void clear();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit KeyState(QObject *parent);
    static int code(int key, bool keypad);
    static bool answersAnotherWindow(const QObject *window);

    std::set<int> held_;
    std::set<int> pressedSinceQuery_;
    std::set<int> taken_; // pressed into another window, not released yet
    // What each physical key was pressed as: a key pressed with Shift may
    // come up without it ('+' down, '=' up).
    std::map<quint32, int> heldByScanCode_;
};
