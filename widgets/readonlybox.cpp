#include "widgets/readonlybox.h"

#include <QLineEdit>

void showTextFromItsStart(QLineEdit *box)
{
    QObject::connect(box, &QLineEdit::textChanged, box, [box] { box->setCursorPosition(0); });
}
