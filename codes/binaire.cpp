#include "codes/binaire.h"

#include "codes/windows1252.h"

#include <QByteArray>

QString codehuitbits(int code) {
    QString chiffres(8, u'0');
    int q = code & 0xFF;
    for (int position = 7; position >= 0 && q > 0; --position, q /= 2) {
        if (q % 2 == 1) {
            chiffres[position] = u'1';
        }
    }
    return chiffres;
}

void traduitbinaire(const QString& message, QString& codebinaire, QString& affichagebinaire) {
    codebinaire.clear();
    affichagebinaire.clear();
    // One byte per character; a character without a code has become '?'.
    const QByteArray octets = versWindows1252(message);
    for (const char octet : octets) {
        if (octet == ' ') {
            codebinaire += u' ';
            affichagebinaire += QStringLiteral("  ( ) ");
            continue;
        }
        const int code = quint8(octet);
        const QString huitchiffres = codehuitbits(code);
        codebinaire += QChar(u'1') + huitchiffres;
        affichagebinaire +=
            huitchiffres + QStringLiteral(" (") + caractereWindows1252(code) + QStringLiteral(") ");
    }
}

std::optional<QChar> caracterehuitbits(const QString& huitchiffres) {
    if (huitchiffres.size() != 8) {
        return std::nullopt;
    }
    int code = 0;
    for (const QChar chiffre : huitchiffres) {
        if (chiffre != u'0' && chiffre != u'1') {
            return std::nullopt;
        }
        code = code * 2 + (chiffre == u'1' ? 1 : 0);
    }
    return caractereWindows1252(code);
}

QString texteemissionbinaire(const QString& codebinaire, const QString& affichagebinaire) {
    return affichagebinaire + QStringLiteral(" = ") + codebinaire;
}
