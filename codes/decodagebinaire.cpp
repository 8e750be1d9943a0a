#include "codes/decodagebinaire.h"

#include "codes/windows1252.h"

DecodageBinaire decodecodebinaire(const QString& code) {
    DecodageBinaire resultat;
    const qsizetype n = code.size();
    qsizetype p = 0; // positions count from 1
    while (p < n - 10) {
        ++p;
        const QChar c = code.at(p - 1);
        if (c == u' ') {
            resultat.messagerecu += u' ';
            resultat.affichagebinaire += QStringLiteral(" ( ) ");
        } else if (c == u'1') {
            int valeur = 0;
            QString bits;
            // A start slot is at most at n - 10, so its eight bits are all in the string.
            for (int k = 7; k >= 0; --k) {
                ++p;
                const QChar b = code.at(p - 1);
                bits += b;
                if (b == u'1')
                    valeur += 1 << k;
            }
            const QChar lu = caractereWindows1252(valeur);
            resultat.messagerecu += lu;
            resultat.affichagebinaire +=
                u' ' + bits + QStringLiteral(" (") + lu + QStringLiteral(") ");
        }
    }
    return resultat;
}
