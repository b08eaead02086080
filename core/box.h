#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class skinButton;

// The program's message window: one new instance per message, several may be
// open at once. It stays on top, beeps when it appears and is dragged by its
// background.
class BOX : public QWidget
{
    Q_OBJECT
public:
    explicit BOX(QWidget *parent = nullptr);

    void Form_Load();
    void ColorRendering();
    // Sizes the window to its message.
    void fitToText();

    QPlainTextEdit *msg = nullptr;
    skinButton *skinButton1 = nullptr;
    QLabel *Image1 = nullptr;

    // Every message window now open, oldest first.
    static QList<BOX *> openWindows();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void skinButton1_Click();

    quint64 serial_ = 0; // creation order
};
