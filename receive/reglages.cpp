#include "receive/reglages.h"

#include "link/ecran.h"
#include "link/legendes.h"
#include "link/station.h"

#include <algorithm>
#include <cmath>

using enum Ecran::Controle;

const std::array<ArticleVitesse, 11> articlesvitesse = {{
    {"0.9", 0.9, 10.0 / 9, -1},
    {"0.925", 0.925, 1 / 0.925, -1},
    {"0.95", 0.95, 1 / 0.95, -1},
    {"0.975", 0.975, 1 / 0.975, -1},
    {"1", 1, 1, 0.0013},
    {"1.1", 1.1, 1 / 1.1, -1},
    {"1.2", 1.2, 1 / 1.2, -1},
    {"1.3", 1.3, 1 / 1.3, -1},
    {"2", 2, 1.0 / 2, 0.0008},
    {"3", 3, 1.0 / 3, 0.0005},
    {"4", 4, 1.0 / 4, 0.0005},
}};

const ArticleVitesse* articlevitesse(const QString& k) {
    QString texte = k.trimmed();
    texte.replace(u',', u'.');
    bool nombre = false;
    const double valeur = texte.toDouble(&nombre);
    if (!nombre)
        return nullptr;
    const auto article = std::find_if(
        articlesvitesse.begin(), articlesvitesse.end(),
        [valeur](const ArticleVitesse& a) { return std::abs(a.valeur - valeur) < 1e-9; });
    return article == articlesvitesse.end() ? nullptr : &*article;
}

void choisitvitesseposte(Station& s, const ArticleVitesse& article) {
    s.etat.facteurvitesse = article.facteurvitesse;
    if (article.dureeparmesure > 0)
        s.etat.dureeparmesure = article.dureeparmesure;
    s.ecran->metajourestimation();
}

void choisitcodagelentposte(Station& s, bool morse) {
    Ecran& f = *s.ecran;
    s.etat.typecodage = morse ? QStringLiteral("m") : QStringLiteral("b");
    f.fixevisible(Btonenvoi_morserapide, false);
    f.fixeactif(Btonenvoi_morserapide, false);
    f.fixevisible(Btonenvoi_binrap, false);
    f.fixeactif(Btonenvoi_binrap, false);
    f.fixevisible(Btonenvoiebinaire, true);
    f.fixeactif(Btonenvoiebinaire, !morse);
    f.fixevisible(Btonenvoiemorse, true);
    f.fixeactif(Btonenvoiemorse, morse);
    f.fixetitre(morse ? legendemorselent() : legendebinairelent());
    f.fixetexte(Etiquette1, morse ? etiquette1morse() : etiquette1binaire());
    f.fixetexte(Texte2,
                morse
                    ? QStringLiteral("Attention ! changement de codage en morse (lent)    modifier "
                                     "de même le programme sur le deuxième ordinateur (menu "
                                     "Réglage Minuterie à 50 ms conseillé)")
                    : QStringLiteral("Attention ! changement de codage en binaire (lent)    "
                                     "modifier de même le programme sur le deuxième ordinateur "
                                     "(menu Réglage Minuterie à 30 ms conseillé)"));
    s.Minuterie->setInterval(morse ? 50 : 30);
    f.fixetexte(Texte1, QString());
    f.metajourestimation();
}

void choisitcodagerapideposte(Station& s, bool morse, bool long_) {
    Ecran& f = *s.ecran;
    EtatPartage& etat = s.etat;
    etat.typecodage = morse ? QStringLiteral("mr") : QStringLiteral("br");
    etat.nbmesures = long_ ? 12800 : 6400;
    f.fixevisible(Btonenvoi_morserapide, morse);
    f.fixeactif(Btonenvoi_morserapide, morse);
    f.fixevisible(Btonenvoiemorse, !morse);
    f.fixeactif(Btonenvoiemorse, false);
    f.fixevisible(Btonenvoiebinaire, morse);
    f.fixeactif(Btonenvoiebinaire, false);
    f.fixevisible(Btonenvoi_binrap, !morse);
    f.fixeactif(Btonenvoi_binrap, !morse);
    if (morse) {
        f.fixetitre(QStringLiteral("Communication entre deux ordinateurs en code Morse (rapide)"));
        f.fixetexte(Etiquette1, etiquette1morse());
        f.fixetexte(Texte2, QStringLiteral("Attention ! changement de codage en morse (rapide)    "
                                           "modifier de même le programme sur le deuxième "
                                           "ordinateur"));
        f.fixetexte(
            Texte1,
            long_ ? QStringLiteral(" Message à effacer : en morse rapide; message d'environ 2 "
                                   "lignes de caractères au maximum conseillé pour éviter une "
                                   "durée de transmission dépassant 30 s")
                  : QStringLiteral(" Message à effacer : en morse rapide; message d'environ 1 "
                                   "ligne de caractères au maximum conseillé pour éviter une "
                                   "durée de transmission dépassant 15 s"));
    } else {
        f.fixetitre(
            QStringLiteral("Communication entre deux ordinateurs en code binaire ASCII (rapide)"));
        f.fixetexte(Etiquette1, QStringLiteral(" Entrer un message (tout caractère clavier)") +
                                    QString(34, u' '));
        f.fixetexte(Texte2, QStringLiteral("Attention ! changement de codage en binaire "
                                           "(rapide)   modifier de même le programme sur le "
                                           "deuxième ordinateur"));
        f.fixetexte(
            Texte1,
            long_ ? QStringLiteral(" Message à effacer : en binaire rapide; message d'environ 2 "
                                   "lignes de caractères au maximum conseillé pour éviter une "
                                   "durée de transmission dépassant 30 s")
                  : QStringLiteral(" Message à effacer : en binaire rapide; message d'environ 1 "
                                   "ligne de caractères au maximum conseillé pour éviter une "
                                   "durée de transmission dépassant 10 s"));
    }
    s.Minuterie->setInterval(30);
    f.metajourestimation();
}
