#include "recording/debit.h"

#include "codes/decodagemorse.h"
#include "recording/resultatreception.h"

#include <QLocale>

namespace {

// The code string from its first element to its last: what a receiver adds of the
// darkness before and after the message is no part of it.
QString entrepremieretdernier(const QString& code) {
    qsizetype debut = 0;
    qsizetype fin = code.size();
    while (debut < fin && code[debut] == u' ')
        ++debut;
    while (fin > debut && code[fin - 1] == u' ')
        --fin;
    return code.mid(debut, fin - debut);
}

QString decimale(double v) {
    QLocale francais(QLocale::French);
    francais.setNumberOptions(QLocale::OmitGroupSeparator);
    return francais.toString(v, 'f', 1);
}

} // namespace

DebitMessage debitmorse(const QString& codemorse, double duree, bool lent) {
    // The emitters' element durations in dots: a slow dot lasts 0.3 s, its dash 1 s and
    // a blank 1 s + 0.3 s; a fast dash three dots, a blank three dots and one.
    const double trait = lent ? 1.0 / 0.3 : 3.0;
    const double blanc = lent ? 1.3 / 0.3 : 4.0;
    const QString code = entrepremieretdernier(codemorse);
    DebitMessage d;
    d.morse = true;
    if (code.isEmpty())
        return d;
    int blancs = 0;
    int elements = 0;
    for (const QChar c : code) {
        if (c == u' ') {
            ++blancs;
            d.unites += blanc;
        } else {
            ++elements;
            d.unites += c == u'-' ? trait : 1.0;
        }
    }
    d.unites += elements - 1;
    // Every letter is closed by one blank, and every blank of the message adds one.
    d.caracteres = blancs + 1;
    d.duree = duree;
    return d;
}

DebitMessage debitbinaire(const QString& codebinaire, double duree) {
    const QString code = entrepremieretdernier(codebinaire);
    DebitMessage d;
    d.morse = false;
    int chiffres = 0;
    int blancs = 0;
    int illisibles = 0;
    for (const QChar c : code) {
        if (c == u'0' || c == u'1')
            ++chiffres;
        else if (c == u' ')
            ++blancs;
        else if (c == elementinconnu)
            ++illisibles;
    }
    d.bits = chiffres + 9 * illisibles;
    d.caracteres = chiffres / 9 + illisibles + blancs;
    d.duree = code.isEmpty() ? 0 : duree;
    return d;
}

DebitMessage debitreception(const ResultatReception& r, double periode) {
    const double duree = r.premierchangement >= 0 && r.dernierchangement > r.premierchangement
                             ? (r.dernierchangement - r.premierchangement) * periode
                             : 0;
    return r.morse ? debitmorse(r.code, duree, false) : debitbinaire(r.code, duree);
}

bool debitmesure(const DebitMessage& d) {
    return d.duree > 0 && d.caracteres > 0;
}

double bitsparseconde(const DebitMessage& d) {
    return debitmesure(d) ? d.bits / d.duree : 0;
}

double caracteresparseconde(const DebitMessage& d) {
    return debitmesure(d) ? d.caracteres / d.duree : 0;
}

double motsparminute(const DebitMessage& d) {
    // PARIS, with the blank after it, lasts 50 dots.
    return debitmesure(d) ? d.unites / d.duree * 60 / 50 : 0;
}

QString textedebitdetaille(const DebitMessage& d) {
    if (!debitmesure(d))
        return {};
    QLocale francais(QLocale::French);
    francais.setNumberOptions(QLocale::OmitGroupSeparator);
    return textedebit(d) +
           QStringLiteral(" ; lumière du message : %1 s, %2")
               .arg(francais.toString(d.duree, 'f', 3),
                    d.morse ? francais.toString(d.unites, 'f', 1) + QStringLiteral(" points")
                            : QStringLiteral("%1 bits").arg(d.bits));
}

QString textedebit(const DebitMessage& d) {
    if (!debitmesure(d))
        return {};
    const QString debit =
        d.morse ? QStringLiteral("%1 mots/min (convention PARIS)").arg(decimale(motsparminute(d)))
                : QStringLiteral("%1 bit/s").arg(decimale(bitsparseconde(d)));
    return QStringLiteral("Débit : %1 — %2 caractère%3 en %4 s (%5 caractère/s)")
        .arg(debit)
        .arg(d.caracteres)
        .arg(d.caracteres > 1 ? QStringLiteral("s") : QString())
        .arg(decimale(d.duree), decimale(caracteresparseconde(d)));
}
