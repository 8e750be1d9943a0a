#pragma once

#include <QChar>
#include <QString>

// A whole number as the program writes it in texts and commands: one blank in front of
// a non-negative number (the position of its sign), the minus sign otherwise: " 3",
// " 200", "-4".
QString nombreavecblanc(long long n);

// A voltage as the start-up boxes show it: at least two digits before the decimal
// separator and exactly two after it, rounded (1.234 gives "01,23" with a comma).
QString formattension(double volts, QChar separateur);
// The same with the decimal separator of the user's locale.
QString formattension(double volts);
