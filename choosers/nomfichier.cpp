#include "choosers/nomfichier.h"

#include <QtMath>

namespace {

// The characters of a name besides the letters A-Z a-z and the digits. Nothing else:
// no separator, no blank, no letter of another alphabet or with an accent.
constexpr QStringView autres = u"'-_#~?@";

bool permis(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') ||
           autres.contains(c);
}

// Reads the name, then the extension, from `p` on; stops where the text stops being
// acceptable.
void litnom(const QString& t, qsizetype& p) {
    const qsizetype n = t.size();
    if (p < n && t.at(p) == u'*') {
        ++p;
        return;
    }
    while (p < n && permis(t.at(p)))
        ++p;
    if (p < n && t.at(p) == u'*')
        ++p;
}

void litextension(const QString& t, qsizetype& p) {
    const qsizetype n = t.size();
    if (p >= n || t.at(p) != u'.')
        return;
    ++p;
    while (p < n && permis(t.at(p)))
        ++p;
    if (p < n && t.at(p) == u'*')
        ++p;
}

// The character at `p` as the line under Ok names it: between quotes, or by its name
// when it cannot be seen.
QString nomcaractere(const QString& t, qsizetype p) {
    const QChar c = t.at(p);
    const bool paire = c.isHighSurrogate() && p + 1 < t.size() && t.at(p + 1).isLowSurrogate();
    const char32_t code = paire ? QChar::surrogateToUcs4(c, t.at(p + 1)) : c.unicode();
    if (code == U' ')
        return QStringLiteral("le blanc");
    const QChar::Category sorte = QChar::category(code);
    if (sorte == QChar::Other_Control || sorte == QChar::Other_Format ||
        sorte == QChar::Separator_Space || sorte == QChar::Separator_Line ||
        sorte == QChar::Separator_Paragraph)
        return QStringLiteral("le caractère invisible U+%1")
            .arg(QString::number(uint(code), 16).toUpper().rightJustified(4, u'0'));
    return QStringLiteral("« %1 »").arg(QString::fromUcs4(&code, 1));
}

} // namespace

ExamenNom examinenom(const QString& texte) {
    if (texte.isEmpty())
        return {SorteNom::vide, 0};
    if (texte.at(0) == u'.')
        return {SorteNom::pointinitial, 0};
    qsizetype p = 0;
    litnom(texte, p);
    if (p == 0)
        return {SorteNom::caractere, 0};
    litextension(texte, p);
    if (p == texte.size())
        return {contientjoker(texte) ? SorteNom::motif : SorteNom::nom, -1};
    const QChar c = texte.at(p);
    if (c == u'.')
        return {SorteNom::secondpoint, p};
    if (c == u'*' || (texte.at(p - 1) == u'*' && permis(c)))
        return {SorteNom::etoile, p};
    return {SorteNom::caractere, p};
}

bool nomvalide(const QString& texte) {
    const SorteNom sorte = examinenom(texte).sorte;
    return sorte == SorteNom::nom || sorte == SorteNom::motif;
}

bool contientjoker(const QString& texte) {
    return texte.contains(u'?') || texte.contains(u'*');
}

QString raisonnomrefuse(const QString& texte) {
    const ExamenNom examen = examinenom(texte);
    switch (examen.sorte) {
    case SorteNom::nom:
        return {};
    case SorteNom::motif:
        return QStringLiteral("« %1 » est un motif (avec * ou ?) : il choisit les fichiers de la "
                              "liste. Ok attend un nom sans * ni ?.")
            .arg(texte);
    case SorteNom::vide:
        return QStringLiteral("Tapez un nom de fichier, ou choisissez-le dans la liste.");
    case SorteNom::pointinitial:
        return QStringLiteral("Un nom ne commence pas par un point.");
    case SorteNom::secondpoint:
        return QStringLiteral("Un nom n'a qu'un point, celui de l'extension (essai.rrr).");
    case SorteNom::etoile:
        return QStringLiteral("« * » ne se met qu'à la fin du nom ou de l'extension.");
    case SorteNom::caractere:
        break;
    }
    const QChar c = texte.at(examen.position);
    if (c == u'/' || c == u'\\')
        return QStringLiteral("« %1 » n'est pas permis dans un nom : le dossier se choisit dans "
                              "la liste de droite.")
            .arg(c);
    return QStringLiteral("Caractère refusé : %1. Un nom ne prend que des lettres sans accent, "
                          "des chiffres et ' - _ # ~ ? @.")
        .arg(nomcaractere(texte, examen.position));
}

QString nomavecextension(const QString& nom) {
    if (nom.isEmpty())
        return nom;
    if (nom.endsWith(u'.'))
        return nom + QStringLiteral("rrr");
    if (!nom.contains(u'.'))
        return nom + QStringLiteral(".rrr");
    return nom;
}

bool extensionenregistrement(const QString& nom) {
    return nom.endsWith(QStringLiteral(".rrr"), Qt::CaseInsensitive);
}

bool nomavant(const QString& a, const QString& b) {
    const int sanscasse = QString::compare(a, b, Qt::CaseInsensitive);
    if (sanscasse != 0)
        return sanscasse < 0;
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
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
    QString legende = chemin;
    const qsizetype premier = chemin.indexOf(separateur);
    if (premier >= 0) {
        const QString tete = chemin.left(premier + 1) + QStringLiteral("...");
        QString c = chemin.mid(premier + 1);
        const int place = qRound(double(largeur - mesure(tete)));
        // Drop the first directory name, keeping the separator before the next one, until
        // the rest fits; the last name is never dropped.
        do {
            const qsizetype suivant = c.indexOf(separateur, c.startsWith(separateur) ? 1 : 0);
            if (suivant < 0)
                break;
            c = c.mid(suivant);
        } while (mesure(c) >= place);
        if (mesure(c) >= place) {
            // Only the last name is left and it does not fit: cut it at its end.
            while (!c.isEmpty() && mesure(c + QStringLiteral("...")) >= place)
                c.chop(1);
            c += QStringLiteral("...");
        }
        legende = tete + c;
    }
    // The widths of the parts need not add up to the width of the whole (kerning), and a
    // label narrower than the head leaves no room at all: cut what still overflows.
    while (!legende.isEmpty() && mesure(legende) >= largeur)
        legende.chop(1);
    return legende;
}
