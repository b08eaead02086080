#pragma once

#include <QWidget>

class QListWidget;
class QListWidgetItem;
class skinButton;

// The family of the three stream dialogs: a list of what the disc offers,
// applied the moment an entry is clicked, refilled whenever the dialog
// becomes the active window, closed by "CANCEL". Each stays above other
// windows and is dragged by its background.
class StreamDialog : public QWidget
{
    Q_OBJECT
public:
    void Form_Load();
    // Clears the list and fills it from the DVD control; an entry that cannot
    // be read is left out.
    void FillList();
    void ColorRendering();

    QListWidget *List1 = nullptr;
    skinButton *skinButton5 = nullptr; // "CANCEL"

protected:
    struct Entry {
        QString text;
        int number; // the stream or angle the entry stands for
    };

    StreamDialog(const QString &caption, const QSize &size, const QRect &list, const QRect &cancel);

    // How many entries the disc offers now, and the entry at an index; both
    // read the DVD control and may throw.
    virtual int entryCount() const = 0;
    virtual Entry entryAt(int index) const = 0;
    // Asks the control for the stream or angle; throws when it refuses.
    virtual void select(int number) = 0;

    skinButton *addButton(const char *name, const QString &caption, const QRect &at);

    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void applyDesignColors();
    void List1_Click(QListWidgetItem *item);
    void skinButton5_Click();
};
