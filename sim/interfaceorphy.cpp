#include "sim/interfaceorphy.h"

#include <QList>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr double infini = std::numeric_limits<double>::infinity();
constexpr char DEL = 127;

// "XPEA1 0, 200,6,0" -> name "XPEA1", arguments "0,200,6,0": the name runs up to the
// first blank; blanks inside the arguments do not count.
QByteArray nomCommande(const QByteArray& texte) {
    const qsizetype blanc = texte.indexOf(' ');
    return blanc < 0 ? texte : texte.left(blanc);
}

QByteArray argumentsCommande(const QByteArray& texte) {
    QByteArray arguments = texte.mid(nomCommande(texte).size());
    arguments.replace(' ', QByteArray());
    return arguments;
}

// Comma-separated whole numbers, each plain digits; an empty list when any is not.
std::vector<int> nombres(const QByteArray& arguments) {
    std::vector<int> valeurs;
    for (const QByteArray& champ : arguments.split(',')) {
        bool ok = false;
        const int v = champ.toInt(&ok);
        if (!ok || champ.isEmpty() ||
            !std::all_of(champ.begin(), champ.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return {};
        valeurs.push_back(v);
    }
    return valeurs;
}

bool estTerminateur(char c) {
    return c == '\r' || c == '\n' || c == ',' || c == DEL;
}

} // namespace

InterfaceOrphy::InterfaceOrphy(QString port, ReglagesInterface reglages, Pannes pannes,
                               LectureEA0 lecture, Journal journal, std::uint64_t graine)
    : port_(std::move(port)), reglages_(reglages), pannes_(pannes), lecture_(std::move(lecture)),
      journal_(std::move(journal)), hasard_(graine) {}

void InterfaceOrphy::ecrit(double instant, const QByteArray& octets) {
    if (coupee_)
        return;
    for (const char c : octets)
        entree_.push_back({ligneEntree_.arrivee(instant), c});
}

double InterfaceOrphy::prochainEvenement() const {
    if (coupee_)
        return retour_;
    double prochain = entree_.empty() ? infini : entree_.front().instant;
    if (commandeOuverte_)
        prochain = std::min(prochain, derniereArrivee_ + reglages_.silenceExecution);
    return prochain;
}

void InterfaceOrphy::traiteEvenement() {
    if (coupee_) {
        if (retour_ < infini)
            retablit(retour_);
        return;
    }
    const double echeanceCommande =
        commandeOuverte_ ? derniereArrivee_ + reglages_.silenceExecution : infini;
    if (!entree_.empty() && entree_.front().instant <= echeanceCommande) {
        const Octet octet = entree_.front();
        entree_.pop_front();
        enregistreJusqua(octet.instant);
        recoitOctet(octet.instant, octet.valeur);
    } else if (commandeOuverte_) {
        // Silence on the line: the command written without terminator is complete.
        enregistreJusqua(echeanceCommande);
        execute(echeanceCommande);
    }
}

void InterfaceOrphy::recoitOctet(double instant, char octet) {
    if (coupee_)
        return;
    derniereArrivee_ = instant;
    if (commandeOuverte_) {
        if (octet == '\r' || octet == '\n') {
            execute(instant);
        } else if (octet == 'X') {
            // The next command begins: the one before is complete.
            execute(instant);
            if (!coupee_) {
                commandeOuverte_ = true;
                commande_ = QByteArray(1, octet);
            }
        } else if (octet == '\0') {
            execute(instant);
            if (!coupee_)
                touche(instant, true);
        } else {
            commande_.append(octet);
        }
        return;
    }
    switch (octet) {
    case '\0':
        touche(instant, true);
        break;
    case ' ':
        touche(instant, false);
        break;
    case '\r':
    case '\n':
        break; // the terminator of a keying byte, or of nothing
    default:
        commandeOuverte_ = true;
        commande_ = QByteArray(1, octet);
    }
}

void InterfaceOrphy::touche(double instant, bool allume) {
    note(instant, QStringLiteral("touche"), allume ? QStringLiteral("1") : QStringLiteral("0"));
    if (allume == sb0_)
        return;
    sb0_ = allume;
    transitions_.push_back({instant, allume});
    note(instant, QStringLiteral("SB0"), allume ? QStringLiteral("1") : QStringLiteral("0"));
}

void InterfaceOrphy::execute(double instant) {
    const QByteArray texte = commande_;
    commande_.clear();
    commandeOuverte_ = false;
    const QByteArray nom = nomCommande(texte);
    const QByteArray arguments = argumentsCommande(texte);
    if (nom == "XEA")
        executeXEA(instant, arguments);
    else if (nom == "XPEA1")
        executeXPEA1(instant, arguments);
    else if (nom == "XEAP" && arguments.isEmpty())
        executeXEAP(instant);
    else if (nom == "XRESUL")
        executeXRESUL(instant, texte, arguments);
    else
        note(instant, QStringLiteral("ignore"),
             texteEchappe(texte) + QStringLiteral(" (commande inconnue)"));
}

void InterfaceOrphy::executeXEA(double instant, const QByteArray& arguments) {
    const QByteArray texte = "XEA " + arguments;
    if (arguments != "0") {
        note(instant, QStringLiteral("ignore"),
             texteEchappe(texte) + QStringLiteral(" (seule l'entrée EA0 est câblée)"));
        return;
    }
    note(instant, QStringLiteral("commande"), texteEchappe(texte));
    if (repetitionEnCours(instant, texte))
        return;
    repond(instant, texte, QByteArray::number(std::clamp(lecture_(instant), 0, 255)) + '\r');
}

void InterfaceOrphy::executeXPEA1(double instant, const QByteArray& arguments) {
    const std::vector<int> champs = nombres(arguments);
    const QString texte = QStringLiteral("XPEA1 ") + QString::fromLatin1(arguments);
    if (champs.size() != 4 || champs[1] < 1 || champs[1] > blocsMaximum) {
        note(instant, QStringLiteral("ignore"),
             texte + QStringLiteral(" (il faut 4 nombres, de 1 à 400 blocs)"));
        return;
    }
    note(instant, QStringLiteral("commande"), texte);
    blocs_ = champs[1];
    debut_ = -1;
    memoire_.assign(static_cast<std::size_t>(blocs_) * valeursParBloc, 0);
    enregistres_ = 0;
}

void InterfaceOrphy::executeXEAP(double instant) {
    if (blocs_ == 0) {
        note(instant, QStringLiteral("ignore"),
             QStringLiteral("XEAP (aucun enregistrement préparé)"));
        return;
    }
    note(instant, QStringLiteral("commande"), QStringLiteral("XEAP"));
    std::fill(memoire_.begin(), memoire_.end(), 0);
    enregistres_ = 0;
    debut_ = instant;
    note(instant, QStringLiteral("enregistrement"),
         QStringLiteral("début %1 valeurs, une toutes les %2 s")
             .arg(memoire_.size())
             .arg(reglages_.periodeEchantillonnage));
}

void InterfaceOrphy::enregistreJusqua(double instant) {
    if (debut_ < 0)
        return;
    const std::size_t avant = enregistres_;
    while (enregistres_ < memoire_.size() &&
           debut_ + enregistres_ * reglages_.periodeEchantillonnage <= instant) {
        const double t = debut_ + enregistres_ * reglages_.periodeEchantillonnage;
        memoire_[enregistres_++] = std::clamp(lecture_(t), 0, 255);
    }
    if (avant < memoire_.size() && enregistres_ == memoire_.size()) {
        const double fin = debut_ + (memoire_.size() - 1) * reglages_.periodeEchantillonnage;
        note(fin, QStringLiteral("enregistrement"), QStringLiteral("fin"));
        // The whole memory, so that what a program downloaded and kept can be checked
        // against what was recorded.
        if (journal_) {
            QStringList valeurs;
            valeurs.reserve(static_cast<qsizetype>(memoire_.size()));
            for (const int v : memoire_)
                valeurs << QString::number(v);
            note(fin, QStringLiteral("valeurs"), valeurs.join(QLatin1Char(',')));
        }
    }
}

void InterfaceOrphy::executeXRESUL(double instant, const QByteArray& texte,
                                   const QByteArray& arguments) {
    // The fault lets through the given number of requests, then the connection drops;
    // it fires once, so a connection that comes back stays up.
    if (pannes_.coupureApres >= 0 && requetesXRESUL_++ >= pannes_.coupureApres) {
        pannes_.coupureApres = -1;
        coupe(instant, pannes_.retourCoupure);
        return;
    }
    // The other fault: the interface hangs in the middle of a download, the line stays.
    if (!bloquee_ && pannes_.blocageApres >= 0 && requetesXRESUL_++ >= pannes_.blocageApres)
        bloque(instant);
    if (bloquee_)
        return;
    const std::vector<int> champs = nombres(arguments);
    const QString echappe = texteEchappe(texte);
    if (champs.size() != 3) {
        note(instant, QStringLiteral("ignore"), echappe + QStringLiteral(" (il faut 3 nombres)"));
        return;
    }
    const int bloc = champs[0], position = champs[1], nombre = champs[2];
    if (blocs_ == 0 || bloc < 1 || bloc > blocs_) {
        note(instant, QStringLiteral("ignore"),
             echappe + QStringLiteral(" (bloc hors de l'enregistrement)"));
        return;
    }
    if (position > valeursParBloc - 1 || nombre < 1 || position + nombre > valeursParBloc) {
        note(instant, QStringLiteral("ignore"),
             echappe + QStringLiteral(" (position hors du bloc)"));
        return;
    }
    note(instant, QStringLiteral("commande"), echappe);
    if (repetitionEnCours(instant, texte))
        return;
    const std::size_t premier = static_cast<std::size_t>(bloc - 1) * valeursParBloc + position;
    QByteArray reponse;
    for (int k = 0; k < nombre; ++k) {
        // Memory not yet reached by the recording still holds the 0 put there when the
        // recording was armed.
        reponse += QByteArray::number(memoire_[premier + k]);
        if (nombre > 1)
            reponse += ',';
    }
    reponse += nombre > 1 ? '\r' : DEL;
    repond(instant, texte, reponse);
}

bool InterfaceOrphy::repetitionEnCours(double instant, const QByteArray& texte) {
    if (texte != derniereRequete_ || instant >= finDerniereReponse_)
        return false;
    note(instant, QStringLiteral("omise"),
         texteEchappe(texte) + QStringLiteral(" (réponse déjà en cours)"));
    return true;
}

void InterfaceOrphy::repond(double instant, const QByteArray& texte, QByteArray reponse) {
    if (pannes_.muette)
        return;
    if (pannes_.charabia) {
        static constexpr char lettres[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ#?!";
        std::uniform_int_distribution<int> tirage(0, sizeof lettres - 2);
        for (char& c : reponse)
            if (!estTerminateur(c))
                c = lettres[tirage(hasard_)];
    }
    const double depart = instant + reglages_.delaiReponse + pannes_.retard;
    // The fault stops this answer once, after its first half.
    const double pause = std::exchange(pannes_.pause, 0.0);
    const qsizetype moitie = pause > 0 ? reponse.size() / 2 : reponse.size();
    // The first byte is on the line once the interface has its answer ready.
    double fin = depart;
    for (qsizetype k = 0; k < reponse.size(); ++k) {
        const double pret = k == moitie ? ligneSortie_.libre() + pause : depart - dureeOctetLigne;
        fin = ligneSortie_.arrivee(pret);
        sortie_.push_back({fin, reponse[k]});
    }
    if (pause > 0)
        note(instant, QStringLiteral("panne"),
             QStringLiteral("réponse arrêtée %1 s après %2 octets sur %3")
                 .arg(pause)
                 .arg(moitie)
                 .arg(reponse.size()));
    derniereRequete_ = texte;
    finDerniereReponse_ = fin;
}

void InterfaceOrphy::alimenteFlot(double instant) {
    if (!pannes_.flot || coupee_)
        return;
    for (;;) {
        const double arrivee = std::max(ligneSortie_.libre(), debutFlot_) + dureeOctetLigne;
        if (arrivee > instant)
            break;
        ligneSortie_.arrivee(arrivee - dureeOctetLigne);
        sortie_.push_back({arrivee, char('0' + chiffresFlot_++ % 10)});
    }
}

QByteArray InterfaceOrphy::sortie(double instant, qint64 maximum) {
    alimenteFlot(instant);
    QByteArray octets;
    while (!sortie_.empty() && sortie_.front().instant <= instant &&
           (maximum <= 0 || octets.size() < maximum)) {
        octets.append(sortie_.front().valeur);
        sortie_.pop_front();
    }
    return octets;
}

double InterfaceOrphy::prochaineSortie() const {
    if (!sortie_.empty())
        return sortie_.front().instant;
    if (pannes_.flot && !coupee_)
        return std::max(ligneSortie_.libre(), debutFlot_) + dureeOctetLigne;
    return infini;
}

qint64 InterfaceOrphy::octetsEnChemin(double instant) const {
    const auto premier = std::upper_bound(entree_.begin(), entree_.end(), instant,
                                          [](double t, const Octet& o) { return t < o.instant; });
    return entree_.end() - premier;
}

void InterfaceOrphy::oublieAvant(double instant) {
    const auto premier =
        std::find_if(transitions_.begin(), transitions_.end(),
                     [instant](const Transition& t) { return t.instant >= instant; });
    if (premier - transitions_.begin() > 1)
        transitions_.erase(transitions_.begin(), premier - 1);
}

void InterfaceOrphy::rendMuette(double instant) {
    pannes_.muette = true;
    note(instant, QStringLiteral("panne"), QStringLiteral("muette : plus aucune réponse"));
}

void InterfaceOrphy::rendCharabia(double instant) {
    pannes_.charabia = true;
    note(instant, QStringLiteral("panne"),
         QStringLiteral("charabia : des lettres à la place des "
                        "chiffres"));
}

void InterfaceOrphy::retarde(double instant, double secondes) {
    pannes_.retard = secondes;
    note(instant, QStringLiteral("panne"),
         QStringLiteral("retard de %1 s sur chaque réponse").arg(secondes));
}

void InterfaceOrphy::metEnPause(double instant, double secondes) {
    pannes_.pause = secondes;
    note(instant, QStringLiteral("panne"),
         QStringLiteral("la prochaine réponse s'arrête %1 s à mi-chemin").arg(secondes));
}

void InterfaceOrphy::lanceFlot(double instant) {
    if (!pannes_.flot) {
        pannes_.flot = true;
        debutFlot_ = instant;
    }
    note(instant, QStringLiteral("panne"), QStringLiteral("flot de chiffres sans fin"));
}

void InterfaceOrphy::bloque(double instant) {
    if (bloquee_)
        return;
    bloquee_ = true;
    note(instant, QStringLiteral("panne"), QStringLiteral("plus de réponse à XRESUL"));
}

void InterfaceOrphy::coupe(double instant, double retour, bool ailleurs) {
    if (coupee_)
        return;
    ailleurs_ = ailleurs;
    // Nothing goes through any more, not even an answer on its way or a command half
    // received.
    coupee_ = true;
    retour_ = retour < 0 ? infini : instant + retour;
    entree_.clear();
    sortie_.clear();
    commande_.clear();
    commandeOuverte_ = false;
    note(instant, QStringLiteral("panne"),
         retour < 0 ? QStringLiteral("connexion coupée")
         : ailleurs
             ? QStringLiteral("connexion coupée, retour dans %1 s sous un autre périphérique")
                   .arg(retour)
             : QStringLiteral("connexion coupée, retour dans %1 s").arg(retour));
}

void InterfaceOrphy::retablit(double instant) {
    coupee_ = false;
    retour_ = infini;
    // The line starts afresh: what was on it went with the connection.
    ligneEntree_ = LigneSerie{};
    ligneSortie_ = LigneSerie{};
    derniereRequete_.clear();
    derniereArrivee_ = instant;
    // A stream goes on from the return, not from where the line was cut.
    debutFlot_ = std::max(debutFlot_, instant);
    note(instant, QStringLiteral("panne"), QStringLiteral("connexion rétablie"));
}

void InterfaceOrphy::repare(double instant) {
    pannes_.muette = false;
    pannes_.charabia = false;
    pannes_.retard = 0;
    pannes_.coupureApres = -1;
    pannes_.blocageApres = -1;
    pannes_.pause = 0;
    pannes_.flot = false;
    bloquee_ = false;
    if (coupee_)
        retablit(instant);
    note(instant, QStringLiteral("panne"), QStringLiteral("réparée : plus aucune panne"));
}

void InterfaceOrphy::note(double instant, const QString& mot, const QString& detail) {
    if (journal_)
        journal_({instant, port_, mot, detail});
}
