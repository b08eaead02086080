#pragma once

#include <QList>

#include <functional>

class QWidget;
class skinButton;

// What the window background does when a colour scheme is applied.
enum class SchemeBackground {
    ReplacePicture, // the window's picture goes, the window takes BkCol
    KeepPicture,    // the picture stays, the window takes BkCol
    DisplayColor,   // the picture stays, the window takes DBackCol
};

// One window's share of the stored colour scheme: which of its controls take
// which colour. Each window builds its row in its own ColorRendering.
struct ColorRow {
    QWidget *window = nullptr;
    SchemeBackground background = SchemeBackground::ReplacePicture;
    QList<skinButton *>
        buttons; // take OverCol (ForeOver), BBackCol (BackColor), BForCol (ForeColor)
    QList<QWidget *> captionLabels; // text takes BForCol
    QList<QWidget *>
        displays; // background DBackCol, text DForCol (text boxes, lists, labels, shapes)
    // Takes the window's own background picture away (ReplacePicture only);
    // a palette picture goes with the new colour without it.
    std::function<void()> removePicture;
};

// The stored scheme applied to one window, each assignment on its own: with
// BkCol "0" nothing changes, and a colour that does not convert loses only
// the assignments that use it.
void ApplyColorRow(const ColorRow &row);
