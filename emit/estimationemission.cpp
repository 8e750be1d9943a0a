#include "emit/estimationemission.h"

#include "codes/binaire.h"
#include "codes/morse.h"
#include "codes/predefinis.h"
#include "codes/windows1252.h"
#include "recording/sourceechantillons.h"

#include <QLocale>
#include <cmath>

namespace {

void notenontransmis(QStringList& liste, const QString& c) {
    if (!liste.contains(c))
        liste << c;
}

// The light of the slow Morse emitter: a 3 s start mark and 2 s of darkness, each element
// (a dot 0.3 f, a dash 1 f of light, a blank 1 f of darkness) followed by 0.3 f of
// darkness, and a 3 s end mark.
double dureemorselent(const QString& code, double f) {
    double d = 3 + 2;
    for (const QChar c : code)
        d += (c == u'.' ? 0.3 : 1.0) * f + 0.3 * f;
    return d + 3;
}

// The slow binary emitter: a 5.68 s start mark and 1.136 s of darkness, 0.568 f a bit or a
// blank, a bit of stop after every nine bits and one after the message, a 6.818 s end mark.
double dureebinairelent(const QString& code, double f) {
    const double b = 0.568 * f;
    double d = 5.68 + 1.136;
    int bits = 0;
    for (const QChar c : code) {
        d += b;
        if (c != u' ' && ++bits == 9) {
            bits = 0;
            d += b;
        }
    }
    return d + b + 6.818;
}

// A fast message after the start mark: the end of its last light, and the time by which
// a recording must have run for the receiver to see that it ended (the darkness after its
// last element or frame that proves it, `ecartfinal`).
struct FinRapide {
    double lumiere = 0;
    double attendue = 0;
};

// The fast Morse emitter after its 1 s start mark: 0.35 s of darkness, the letter c and a
// letter gap (14 dots), each element followed by a dot of darkness (a dash and a blank
// last three dots).
FinRapide finmorserapide(const QString& code, double f) {
    const double point = 0.05 * f;
    double d = 0.35 + 14 * point;
    double apresderniereLumiere = d - 3 * point;
    for (const QChar c : code) {
        d += (c == u'.' ? 1 : 3) * point;
        if (c != u' ')
            apresderniereLumiere = d;
        d += point;
    }
    return {apresderniereLumiere, apresderniereLumiere + ecartfinalmorse * point};
}

// The fast binary emitter after its 1 s start mark: 0.35 s of darkness, three one-bit
// flashes one bit apart and two bits of stop, then 0.07 f a bit, two more bits for a blank
// or after nine bits. The receiver waits for the darkness after the last frame, not after
// its last light: a frame ending with zeros is seen whole only at its ninth bit.
FinRapide finbinairerapide(const QString& code, double f) {
    const double bit = 0.07 * f;
    double d = 0.35 + 7 * bit;
    double apresderniereLumiere = d - 2 * bit;
    double finderniereTrame = apresderniereLumiere;
    int bits = 0;
    for (const QChar c : code) {
        if (c == u' ') {
            d += 2 * bit;
            continue;
        }
        d += bit;
        if (c == u'1')
            apresderniereLumiere = d;
        if (++bits == 9) {
            bits = 0;
            finderniereTrame = d;
            d += 2 * bit;
        }
    }
    return {apresderniereLumiere, finderniereTrame + ecartfinalbinaire * bit};
}

// The characters of `texte` one by one, a pair of surrogates (an emoji) being one.
QStringList caracteres(const QString& texte) {
    QStringList liste;
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const bool paire = texte.at(i).isHighSurrogate() && i + 1 < texte.size() &&
                           texte.at(i + 1).isLowSurrogate();
        liste << texte.mid(i, paire ? 2 : 1);
        if (paire)
            ++i;
    }
    return liste;
}

} // namespace

EstimationEmission estimeemission(const QString& texte, const QString& typecodage,
                                  double facteurvitesse, int nbmesures) {
    EstimationEmission e;
    const QString message = messageaemettre(texte);
    const bool morse = typecodage.startsWith(u'm');
    const bool rapide = typecodage.size() == 2;
    const double f = facteurvitesse > 0 ? facteurvitesse : 1;
    QString code;
    if (morse) {
        code = traduitmorse(message).codemorse;
        for (const QString& c : caracteres(message))
            if (!c.at(0).isSpace() && traduitmorse(c).affichagemorse.isEmpty())
                notenontransmis(e.nontransmis, c);
    } else {
        // A fast binary text gets a blank at its end, shown but never sent.
        QString affichage;
        traduitbinaire(message, code, affichage);
        for (const QString& c : caracteres(message))
            if (c.size() > 1 || codeWindows1252(c.at(0)) < 0)
                notenontransmis(e.nontransmis, c);
    }
    if (!rapide) {
        e.duree = morse ? dureemorselent(code, f) : dureebinairelent(code, f);
        return e;
    }
    const FinRapide fin = morse ? finmorserapide(code, f) : finbinairerapide(code, f);
    e.dureemessage = fin.lumiere;
    e.dureeattendue = fin.attendue;
    e.duree = 1 + e.dureemessage;
    e.dureeenregistrement = nbmesures * periodeechantillon;
    // The reception says a message is cut, or may be, unless the recording holds the
    // darkness that proves its end.
    e.troplong = e.dureeattendue > e.dureeenregistrement;
    return e;
}

QString dureelisible(double secondes) {
    const QLocale francais(QLocale::French);
    if (secondes < 10)
        return francais.toString(secondes, 'f', 1) + QStringLiteral(" s");
    const long s = std::lround(secondes);
    if (s < 120)
        return QStringLiteral("%1 s").arg(s);
    if (s < 3600)
        return QStringLiteral("%1 min %2 s").arg(s / 60).arg(s % 60, 2, 10, QChar(u'0'));
    const long minutes = std::lround(secondes / 60);
    return QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60, 2, 10, QChar(u'0'));
}

QString ligneestimation(const EstimationEmission& e, const QString& typecodage) {
    QString ligne = QStringLiteral("Durée d'émission : ") + dureelisible(e.duree);
    QStringList alertes;
    if (!e.nontransmis.isEmpty())
        alertes << QStringLiteral("non transmis en %1 : %2")
                       .arg(typecodage.startsWith(u'm') ? QStringLiteral("morse")
                                                        : QStringLiteral("binaire"),
                            e.nontransmis.join(u' ').toHtmlEscaped());
    if (e.troplong)
        alertes << QStringLiteral(
                       "message plus long que l'enregistrement du récepteur (%1 pour %2)")
                       .arg(dureelisible(e.dureeattendue), dureelisible(e.dureeenregistrement));
    if (!alertes.isEmpty())
        ligne += QStringLiteral("    <span style=\"color:#c00000\">%1</span>")
                     .arg(alertes.join(QStringLiteral(" ; ")));
    return ligne;
}
