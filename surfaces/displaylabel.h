#pragma once

#include <QLabel>
#include <QStringList>

// A label of the control bar's display. Its caption stays whole; what does
// not fit is wrapped onto a second line where the label is tall enough and
// otherwise cut with an ellipsis, so that the beginning always shows.
class DisplayLabel : public QLabel
{
    Q_OBJECT
public:
    DisplayLabel(const QString &caption, QWidget *parent);

    // The lines drawn for the caption in the label's present size.
    QStringList shownLines() const;

    // The display's face: letters keep their case and the spaces between
    // words, in a fixed pitch that suits a display.
    static QFont face();

protected:
    void paintEvent(QPaintEvent *event) override;
};
