#pragma once

#include <QList>
#include <QRect>
#include <QString>

class QLabel;
class QWidget;
class skinButton;

// What the three database windows share in their design: buttons, captions
// and the look they have before a colour scheme is applied.
namespace DatabaseLook
{

skinButton *makeButton(QWidget *parent, const char *name, const QString &caption,
                       const QRect &place);

// A caption label, right-aligned against the box it names when it stands
// to the box's left.
QLabel *makeCaption(QWidget *parent, const QString &text, const QRect &place,
                    bool rightAligned = false);

// The small text of captions and buttons.
void setSmallText(QWidget *widget);

// The design colours of a database window: light window, dark buttons.
void applyDesignColors(QWidget *window, const QList<skinButton *> &buttons);

} // namespace DatabaseLook
