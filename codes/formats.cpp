#include "codes/formats.h"

#include <QLocale>
#include <cmath>

QString nombreavecblanc(long long n) {
    return n >= 0 ? QStringLiteral(" ") + QString::number(n) : QString::number(n);
}

QString formattension(double volts, QChar separateur) {
    const long long centiemes = std::llround(std::fabs(volts) * 100);
    QString texte = QString::number(centiemes / 100).rightJustified(2, u'0') + separateur +
                    QString::number(centiemes % 100).rightJustified(2, u'0');
    if (volts < 0 && centiemes != 0)
        texte.prepend(u'-');
    return texte;
}

QString formattension(double volts) {
    const QString separateur = QLocale().decimalPoint();
    return formattension(volts, separateur.isEmpty() ? QChar(u',') : separateur.at(0));
}
