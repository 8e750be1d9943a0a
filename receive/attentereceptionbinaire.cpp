#include "receive/attentereceptionbinaire.h"

#include "codes/decodagebinaire.h"
#include "codes/predefinis.h"
#include "link/ecran.h"
#include "link/station.h"
#include "receive/lumiere.h"
#include "recording/debit.h"

#include <algorithm>
#include <cmath>

using enum Ecran::Controle;

namespace {

const QString binaire = QStringLiteral("b");

// The emitter's bit, in seconds at f = 1.
constexpr double dureebit = 0.568;

// The nearest whole number of bits of a run of `duree` seconds at the speed factor f: a
// stall of 0.1 s and a tick of 30 ms still leave a bit of 0.284 s (speed x 2) its count.
int bitsarrondis(double duree, double f) {
    return static_cast<int>(std::lround(duree / (dureebit * f)));
}
// The light of a character ends before 9.5 bits (ÿ lasts 9); the end mark lasts 6.818 s,
// 10.8 bits at the slowest speed.
constexpr double bitsmaximum = 9.5;

void debutreceptionbinaire(Station& s) {
    if (s.observateurs.debutReception)
        s.observateurs.debutReception();
    Ecran& f = *s.ecran;
    EtatPartage& e = s.etat;
    f.appliquetaillepolice(s.etat.taillepolice);
    f.fixetexte(Etiquette2, QStringLiteral("RECEPTION DE MESSAGE EN COURS   PATIENTEZ SVP"));
    f.fixefond(Etiquette1, Ecran::Fond::jauneclair);
    f.fixefond(Texte1, Ecran::Fond::jauneclair);
    f.fixelectureseule(Texte1, true);
    f.fixetexte(Texte2, QString());
    f.fixetexte(Etiquette1, QStringLiteral("RECEPTION DE CODE BINAIRE EN COURS     PATIENTEZ SVP"));
    f.fixeactif(Btonenvoiebinaire, false);
    f.fixeactif(Btonefface, false);
    e.codebinaire.clear();
    e.affichagebinaire.clear();
}

// Where the characters of one message lie in `codebinaire` and when, for the blanks at its
// two ends (the darkness around the marks is counted there, not as gap units).
struct CreneauxBinaires {
    double debut = 0;               // the end of the start mark
    double premierelumiere = -1;    // the start of the first character's light
    qsizetype debutpremier = -1;    // where its slots start in codebinaire
    qsizetype finderniere = -1;     // where the last character's slots end
    double apresdernier = -1;       // where the darkness after the last character starts
    double derniereextinction = -1; // where the last light of a character ended
    double marquefin = -1;          // the start of the end mark's light
    qsizetype debutmarque = -1;     // where its slots start in codebinaire
};

// Counts the slots of one message into `codebinaire`, until the end mark or 7 gap units
// of darkness. A glitch of one reading, light in the darkness or darkness in the light, is
// no change (`SuiviLumiere`).
//
// The slots are counted as the light goes, one every half bit (0.5 f), and shown at once.
// When a run of light or darkness inside a character has ended, its whole length is known:
// the slots it counted are brought to the nearest whole number of bits (0.568 f each) of
// that length (one the emitter's slipping light cut below half a second is added, one it
// stretched past the next half second taken back); a run shorter than half a bit counts as
// the slots it counted. A character's light that reaches its ninth slot still lit is
// followed to its end before anything else is counted; it is the end mark only when it
// lasts more than 9.5 bits as well, so that ÿ (nine lit bits) is a character. The gap after
// a character that ends in darkness is timed from where its last bit ends.
CreneauxBinaires recoitcreneaux(SuiviLumiere& l) {
    Station& s = l.station();
    EtatPartage& e = s.etat;
    Plateforme& p = s.plateforme;
    CreneauxBinaires r;
    r.debut = l.depuis();
    const auto ajoute = [&](QChar c) {
        e.codebinaire += c;
        e.affichagebinaire += c;
        s.ecran->fixetexte(Texte1, e.codebinaire);
    };
    int creneaux = 0;
    int creneauxallumes = 0;
    bool finmarque = false;
    // The slots of a run that has ended, `avant` counted before it, brought to the whole
    // number of bits its length gives, within the nine of the character.
    const auto arrondit = [&](int avant, double duree, QChar c) {
        const int bits = std::min(bitsarrondis(duree, e.facteurvitesse), 9 - avant);
        if (bits <= 0)
            return;
        const int allume = c == u'1' ? 1 : 0;
        for (; creneaux - avant < bits; ++creneaux) {
            creneauxallumes += allume;
            ajoute(c);
        }
        if (const int entrop = creneaux - avant - bits; entrop > 0) {
            creneaux -= entrop;
            creneauxallumes -= entrop * allume;
            e.codebinaire.chop(entrop);
            e.affichagebinaire.chop(entrop);
            s.ecran->fixetexte(Texte1, e.codebinaire);
        }
    };
    // The character's last lit run: the slots counted before it, when it began, and whether
    // it reached the ninth slot still lit.
    int avantallume = 0;
    double debutallume = 0;
    bool coupee = false;
    // When the last character ended in darkness cut at its ninth slot: where its last bit
    // ends, as the emitter keys it. The ninth slot comes 0.068 f early for each of its last
    // zero bits, which would otherwise count in the gap after it.
    double finnominale = 0;
    // The character being read: where its slots start, when its light began, and when its
    // last light ended.
    qsizetype debutcaractere = 0;
    double lumierecaractere = 0;
    double finlumiere = -1;
    // The darkness before the next character is a new one (not the rest of a darkness that a
    // light too short for a slot interrupted).
    bool nouvelecart = true;
    do {
        l.cede();
        double t0 = finnominale > 0 ? std::max(p.horloge(), finnominale)
                    : l.eteinte()   ? std::max(l.depuis(), r.debut)
                                    : p.horloge();
        finnominale = 0;
        // No light of this character began before this darkness (or this instant).
        const double debutecart = t0;
        if (nouvelecart) {
            r.apresdernier = t0;
            nouvelecart = false;
        }
        // Darkness between characters: one blank per gap unit, counted up to a reading of
        // light that waits for the next one.
        while (creneaux == 0 && e.compteursilence <= 6 && l.eteinte() && !s.liaisonperdue()) {
            l.cede(t0 + e.facteurvitesse);
            if (l.connuejusqua() - t0 >= e.facteurvitesse) {
                ajoute(u' ');
                t0 = l.connuejusqua();
                ++e.compteursilence;
            }
        }
        // The slots of a character: timing restarts at every change of light and after
        // every slot counted.
        do {
            t0 = l.allumee() ? std::max(l.depuis(), debutecart) : p.horloge();
            avantallume = creneaux;
            debutallume = t0;
            if (creneaux == 0) {
                debutcaractere = e.codebinaire.size();
                lumierecaractere = t0;
            }
            while (creneaux < 9 && l.allumee() && !s.liaisonperdue()) {
                l.cede(t0 + 0.5 * e.facteurvitesse);
                const double t1 = l.connuejusqua();
                if (t1 - t0 >= 0.5 * e.facteurvitesse) {
                    ++creneaux;
                    ++creneauxallumes;
                    t0 = t1;
                    ajoute(u'1');
                }
            }
            // Still lit at the ninth slot: decided below, once the light has ended.
            coupee = l.allumee();
            if (!coupee) {
                arrondit(avantallume, l.depuis() - debutallume, u'1');
                finlumiere = l.depuis();
            }
            t0 = l.eteinte() ? l.depuis() : p.horloge();
            const int avantsombre = creneaux;
            const double debutsombre = t0;
            while (creneaux >= 1 && creneaux < 9 && l.eteinte() && !s.liaisonperdue()) {
                l.cede(t0 + 0.5 * e.facteurvitesse);
                const double t1 = l.connuejusqua();
                if (t1 - t0 >= 0.5 * e.facteurvitesse) {
                    ++creneaux;
                    t0 = t1;
                    ajoute(u'0');
                }
            }
            // A reading of light that came with the ninth slot may have ended the darkness
            // before it: known at the next reading.
            if (avantsombre >= 1 && creneaux == 9)
                l.tranche();
            // Darkness cut at the ninth slot goes on as the gap after the character.
            if (avantsombre >= 1 && !l.eteinte())
                arrondit(avantsombre, l.depuis() - debutsombre, u'0');
            else if (avantsombre >= 1 && creneaux == 9)
                finnominale = debutsombre + (9 - avantsombre) * dureebit * e.facteurvitesse;
        } while (creneaux >= 1 && creneaux < 9 && !s.liaisonperdue());
        if (creneaux == 9)
            e.compteursilence = 0;
        // The light that reached the ninth slot. Nine lit slots and still light beyond half a
        // second, and beyond 9.5 bits since it began: the end mark. Otherwise it is the rest
        // of the character's last run, which is not a new one: once it has ended, the run's
        // slots are the bits its whole length gives. Light that lasts longer than the
        // character could hold is left to the counting.
        t0 = p.horloge();
        if (coupee) {
            const double findecaractere =
                debutallume + (bitsmaximum - avantallume) * dureebit * e.facteurvitesse;
            while (l.allumee() && !s.liaisonperdue()) {
                if (creneauxallumes >= 9) {
                    l.cede(std::max(t0 + 0.5, findecaractere));
                    if (l.connuejusqua() - t0 > 0.5 && l.connuejusqua() > findecaractere) {
                        ++creneaux;
                        ++creneauxallumes;
                        finmarque = true;
                    }
                } else if (l.connuejusqua() > findecaractere) {
                    break;
                } else {
                    l.cede(findecaractere);
                }
            }
            if (!finmarque && !l.allumee()) {
                arrondit(avantallume, l.depuis() - debutallume, u'1');
                finlumiere = l.depuis();
            }
        }
        if (finmarque) {
            r.marquefin = lumierecaractere;
            r.debutmarque = debutcaractere;
        } else if (creneaux >= 9) {
            if (r.debutpremier < 0) {
                r.debutpremier = debutcaractere;
                r.premierelumiere = lumierecaractere;
            }
            r.finderniere = e.codebinaire.size();
            r.derniereextinction = finlumiere;
            nouvelecart = true;
            creneaux = 0;
            creneauxallumes = 0;
            e.compteursilence = 0;
        }
    } while (e.compteursilence <= 6 && !finmarque && !s.liaisonperdue());
    return r;
}

// The slot string to decode. The darkness the emitter leaves after its start mark (1.136 s)
// and, at the end, the stop interval after the last character and the bit of darkness
// before the end mark (2 bits) are no characters: the blanks at the two ends are those the
// user sent, a bit of darkness each (0.568 f), so that the text has them. Between them the
// slots as counted; a message without its end mark keeps the gap units that ended it,
// which the decoding leaves out.
QString creneauxadecoder(const CreneauxBinaires& c, const QString& code, double f) {
    const double bit = dureebit * f;
    const auto bits = [bit](double obscurite) {
        return static_cast<int>(std::lround(obscurite / bit));
    };
    if (c.debutpremier < 0) {
        // Darkness only: a text of blanks, then the bit of darkness before the end mark.
        if (c.marquefin < 0)
            return code;
        const int k = std::max(0, bits(c.marquefin - c.debut - 1.136) - 1);
        return QString(k, u' ') + u' ' + code.mid(c.debutmarque);
    }
    const int tete = std::max(0, bits(c.premierelumiere - c.debut - 1.136));
    QString r = QString(tete, u' ') + code.mid(c.debutpremier, c.finderniere - c.debutpremier);
    if (c.marquefin < 0)
        return r + code.mid(c.finderniere);
    const int queue = std::max(0, bits(c.marquefin - c.apresdernier) - 2);
    return r + QString(queue, u' ') + u' ' + code.mid(c.debutmarque);
}

void finmessagebinaire(Station& s) {
    Ecran& f = *s.ecran;
    EtatPartage& e = s.etat;
    f.fixetexte(Etiquette2, QStringLiteral(" FIN DE RECEPTION DU MESSAGE"));
    f.fixetexte(Texte2, e.messagerecu);
    f.fixelectureseule(Texte2, true);
    f.fixefond(Etiquette1, Ecran::Fond::vertclair);
    f.fixefond(Texte1, Ecran::Fond::vertclair);
    f.fixetexte(
        Etiquette1,
        QStringLiteral(
            " Entrer un message (tout caractère clavier) ou code                         "));
    f.fixeactif(Btonenvoiebinaire, true);
    f.fixeactif(Btonefface, true);
    f.fixetexte(Texte1, e.affichagebinaire);
    f.fixelectureseule(Texte1, false);
    e.compteursilence = 0;
    if (s.observateurs.finReception)
        s.observateurs.finReception();
}

} // namespace

void attentereceptionbinaire(Station& s) {
    EtatPartage& e = s.etat;

    s.ecran->montre();
    s.ecran->appliquetaillepolice(s.etat.taillepolice);
    s.Minuterie->setEnabled(true);
    e.compteursilence = 0;

    double t1 = 0;
    SuiviLumiere lumiere(s);
    while (e.typecodage == binaire && !s.liaisonperdue()) {
        lumiere.fixeelementminimal(dureebit * e.facteurvitesse);
        if (!marquededebut(lumiere, binaire, 3.5, t1))
            continue;

        const Activite activite(s, QStringLiteral("une réception"));
        debutreceptionbinaire(s);
        const CreneauxBinaires creneaux = recoitcreneaux(lumiere);
        // What the light of the message carried: its frames, from the first light of the
        // first to the end of the last light of the last.
        const DebitMessage debit = debitbinaire(
            creneaux.debutpremier < 0
                ? QString()
                : e.codebinaire.mid(creneaux.debutpremier,
                                    creneaux.finderniere - creneaux.debutpremier),
            creneaux.debutpremier < 0 ? 0 : creneaux.derniereextinction - creneaux.premierelumiere);
        e.codebinaire = creneauxadecoder(creneaux, e.codebinaire, e.facteurvitesse);
        const DecodageBinaire decodage = decodecodebinaire(e.codebinaire);
        e.messagerecu = developpecodepredefini(decodage.messagerecu, FormesReception::BinaireLent);
        e.affichagebinaire = decodage.affichagebinaire;
        if (s.liaisonperdue())
            e.messagerecu += u' ' + texteliaisonperdue;
        else if (e.compteursilence > 6)
            e.messagerecu += u' ' + texteinterruption;
        else if (e.messagerecu.trimmed().isEmpty())
            e.messagerecu += u' ' + texteaucuncaractere;
        s.ecran->debitmessage(debit);
        finmessagebinaire(s);
    }
}
