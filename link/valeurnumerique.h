#pragma once

#include <QByteArray>
#include <QString>

// Numeric value of a text, the one rule for every reading of the program (interface
// replies, stored samples, file lines, the port number): blanks, tabs and line feeds
// are ignored wherever they stand; the value is the decimal number (optional sign,
// digits, optional decimal point and digits) that begins the rest; reading stops at
// the first character that cannot continue it (a CR, a letter, a comma); a text that
// does not begin with a number is 0.
double valeurnumerique(const QByteArray& texte);
double valeurnumerique(const QString& texte);
