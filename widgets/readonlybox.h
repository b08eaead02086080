#pragma once

class QLineEdit;

// Makes a read-only box show the beginning of a text longer than itself, as
// a label would: a line edit keeps its cursor, and so its view, at the end of
// every text it is given.
void showTextFromItsStart(QLineEdit *box);
