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

// The fast Morse emitter after its 1 s start mark: 0.35 s of darkness, the letter c and a
// letter gap (14 dots), each element followed by a dot of darkness (a dash and a blank
// last three dots). To the end of the last light.
double dureemorserapide(const QString& code, double f) {
    const double point = 0.05 * f;
    double d = 0.35 + 14 * point;
    double apresderniereLumiere = d - 3 * point;
    for (const QChar c : code) {
        d += (c == u'.' ? 1 : 3) * point;
        if (c != u' ')
            apresderniereLumiere = d;
        d += point;
    }
    return apresderniereLumiere;
}

// The fast binary emitter after its 1 s start mark: 0.35 s of darkness, three one-bit
// flashes one bit apart and two bits of stop, then 0.07 f a bit, two more bits for a blank
// or after nine bits. To the end of the last light.
double dureebinairerapide(const QString& code, double f) {
    const double bit = 0.07 * f;
    double d = 0.35 + 7 * bit;
    double apresderniereLumiere = d - 2 * bit;
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
            d += 2 * bit;
        }
    }
    return apresderniereLumiere;
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
        for (const QChar c : message)
            if (!c.isSpace() && traduitmorse(QString(c)).affichagemorse.isEmpty())
                notenontransmis(e.nontransmis, QString(c));
    } else {
        // A fast binary text gets a blank at its end, shown but never sent.
        QString affichage;
        traduitbinaire(message, code, affichage);
        for (qsizetype i = 0; i < message.size(); ++i) {
            const QChar c = message.at(i);
            if (codeWindows1252(c) >= 0)
                continue;
            const bool paire =
                c.isHighSurrogate() && i + 1 < message.size() && message.at(i + 1).isLowSurrogate();
            notenontransmis(e.nontransmis, paire ? message.mid(i++, 2) : QString(c));
        }
    }
    if (!rapide) {
        e.duree = morse ? dureemorselent(code, f) : dureebinairelent(code, f);
        return e;
    }
    e.dureemessage = morse ? dureemorserapide(code, f) : dureebinairerapide(code, f);
    e.duree = 1 + e.dureemessage;
    e.dureeenregistrement = nbmesures * periodeechantillon;
    // The reception says a message is cut when light falls in the last half second.
    e.troplong = e.dureemessage > e.dureeenregistrement - dureefinenregistrement;
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
                       .arg(dureelisible(e.dureemessage), dureelisible(e.dureeenregistrement));
    if (!alertes.isEmpty())
        ligne += QStringLiteral("    <span style=\"color:#c00000\">%1</span>")
                     .arg(alertes.join(QStringLiteral(" ; ")));
    return ligne;
}
