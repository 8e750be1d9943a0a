#include "choosers/nomfichier.h"

#include <QtMath>

namespace {

const QString permis = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890'-_#~?@");

} // namespace

bool nomvalide(const QString& texte) {
    const QString t = texte.toUpper() + u'$';
    qsizetype p = 0;
    const auto c = [&t, &p] { return t.at(p); };
    const auto permiss = [&] { return permis.contains(c()); };

    // The name: a single "*", or allowed characters optionally followed by one "*".
    if (c() == u'*') {
        ++p;
    } else {
        const qsizetype debut = p;
        while (permiss())
            ++p;
        if (p == debut)
            return false;
        if (c() == u'*')
            ++p;
    }
    // The extension.
    if (c() == u'.') {
        ++p;
        while (permiss())
            ++p;
        if (c() == u'*')
            ++p;
    }
    return c() == u'$';
}

bool contientjoker(const QString& texte) {
    return texte.contains(u'?') || texte.contains(u'*');
}

QString chemincomplet(const QString& repertoire, const QString& nom, QChar separateur) {
    if (repertoire.endsWith(separateur))
        return repertoire + nom;
    return repertoire + separateur + nom;
}

QString raccourcitchemin(const QString& chemin, int largeur,
                         const std::function<int(const QString&)>& mesure, QChar separateur) {
    if (mesure(chemin) < largeur)
        return chemin;
    const qsizetype premier = chemin.indexOf(separateur);
    if (premier < 0)
        return chemin;
    const QString tete = chemin.left(premier + 1) + QStringLiteral("...");
    QString c = chemin.mid(premier + 1);
    const int place = qRound(double(largeur - mesure(tete)));
    // Drop the first directory name, keeping the separator before the next one, until the
    // rest fits; the last name is never dropped.
    do {
        const qsizetype suivant = c.indexOf(separateur, c.startsWith(separateur) ? 1 : 0);
        if (suivant < 0)
            break;
        c = c.mid(suivant);
    } while (mesure(c) >= place);
    if (mesure(c) >= place) {
        // Only the last name is left and it does not fit: cut it at its end.
        while (c.size() > 1 && mesure(c + QStringLiteral("...")) >= place)
            c.chop(1);
        c += QStringLiteral("...");
    }
    return tete + c;
}
