#include "sim/journal.h"

QString ligneJournal(const EvenementJournal& e) {
    QString ligne =
        QString::number(e.instant, 'f', 6) + QLatin1Char(' ') + e.port + QLatin1Char(' ') + e.mot;
    if (!e.detail.isEmpty())
        ligne += QLatin1Char(' ') + e.detail;
    return ligne;
}

QString texteEchappe(const QByteArray& octets) {
    QString texte;
    for (const char c : octets) {
        const auto o = static_cast<unsigned char>(c);
        if (o == '\\')
            texte += QStringLiteral("\\\\");
        else if (o == '\r')
            texte += QStringLiteral("\\r");
        else if (o == '\n')
            texte += QStringLiteral("\\n");
        else if (o >= 32 && o < 127)
            texte += QLatin1Char(c);
        else
            texte += QStringLiteral("\\x%1").arg(o, 2, 16, QLatin1Char('0'));
    }
    return texte;
}
