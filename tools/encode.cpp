// lumicom-tool encode morse|binary TEXTE: prints the two texts an emitter builds from a
// message, the code string then the display string, each on its own line, blanks kept.
// The text is taken in Windows-1252, the program's character set: a character without a
// code there is refused rather than sent as '?'.

#include "souscommande.h"

#include "codes/binaire.h"
#include "codes/morse.h"
#include "codes/windows1252.h"

namespace {

// First character of `texte` that has no Windows-1252 code (a surrogate pair counts as
// one character).
QString premierCaractereSansCode(const QString& texte) {
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const QChar c = texte.at(i);
        if (codeWindows1252(c) >= 0) {
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < texte.size() && texte.at(i + 1).isLowSurrogate()) {
            return texte.mid(i, 2);
        }
        return QString(c);
    }
    return QString();
}

int executeEncode(const QStringList& arguments) {
    if (arguments.size() != 2) {
        return erreurUsage(sousCommandeEncode,
                           QStringLiteral("encode attend un codage et un texte (%1 argument(s) "
                                          "donné(s))")
                               .arg(arguments.size()));
    }
    const QString& codage = arguments.at(0);
    if (codage != u"morse" && codage != u"binary") {
        return erreurUsage(sousCommandeEncode,
                           QStringLiteral("codage inconnu « %1 » (morse ou binary)").arg(codage));
    }
    bool tousCodes = true;
    const QByteArray octets = versWindows1252(arguments.at(1), &tousCodes);
    if (!tousCodes) {
        ecritErreur(QStringLiteral("le caractère « %1 » n'a pas de code Windows-1252")
                        .arg(premierCaractereSansCode(arguments.at(1))));
        return sortieUsage;
    }
    const QString message = depuisWindows1252(octets);
    if (codage == u"morse") {
        const TraductionMorse traduction = traduitmorse(message);
        ecritLigne(traduction.codemorse);
        ecritLigne(traduction.affichagemorse);
    } else {
        QString codebinaire;
        QString affichagebinaire;
        traduitbinaire(message, codebinaire, affichagebinaire);
        ecritLigne(codebinaire);
        ecritLigne(affichagebinaire);
    }
    return sortieSucces;
}

} // namespace

const SousCommande sousCommandeEncode = {
    "encode",
    "morse|binary TEXTE",
    "affiche la chaîne de code puis la chaîne d'affichage du message TEXTE",
    executeEncode,
};
