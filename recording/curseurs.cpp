#include "recording/curseurs.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

QString enfrancais(double v, char format, int precision) {
    QLocale francais(QLocale::French);
    francais.setNumberOptions(QLocale::OmitGroupSeparator);
    return francais.toString(v, format, precision);
}

} // namespace

MesureCurseurs mesurecurseurs(const PointCurseur& a, const PointCurseur& b) {
    MesureCurseurs m;
    m.echantillons = std::abs(b.indice - a.indice);
    m.secondes = std::abs(b.instant - a.instant);
    m.hertz = m.echantillons > 0 && m.secondes > 0 ? 1 / m.secondes : 0;
    m.voltsa = a.volts;
    m.voltsb = b.volts;
    return m;
}

QString textecurseurs(const MesureCurseurs& m) {
    const QString tensions = QStringLiteral("A : %1 V   B : %2 V")
                                 .arg(enfrancais(m.voltsa, 'f', 2), enfrancais(m.voltsb, 'f', 2));
    if (m.echantillons == 0)
        return tensions + QStringLiteral("   écart : même mesure");
    return tensions + QStringLiteral("   écart : %1 mesure%2, %3 ms, soit %4 Hz")
                          .arg(m.echantillons)
                          .arg(m.echantillons > 1 ? QStringLiteral("s") : QString())
                          .arg(enfrancais(m.secondes * 1000, 'f', 1))
                          .arg(enfrancais(m.hertz, 'g', 3));
}

int deplacecurseur(int indice, int pas, int nombre) {
    if (nombre <= 0)
        return 0;
    return std::clamp(indice + pas, 0, nombre - 1);
}
