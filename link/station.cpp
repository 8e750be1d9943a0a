#include "link/station.h"

#include "link/extinctionurgence.h"
#include "link/fileappels.h"

#include <QString>
#include <QThread>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

// The sampling timer of a station: the platform's timer, which tells the link each time it
// starts again, so that the replies to requests made before it stopped (an emission or a
// download took the line meanwhile) are never taken for its samples.
class MinuterieEchantillonnage final : public Minuteur {
public:
    MinuterieEchantillonnage(std::unique_ptr<Minuteur> base, std::function<void()> auDemarrage)
        : base_(std::move(base)), auDemarrage_(std::move(auDemarrage)) {
        base_->setMinuterie_Timer([this] { tic(); });
    }
    void setInterval(int millisecondes) override { base_->setInterval(millisecondes); }
    int interval() const override { return base_->interval(); }
    void setEnabled(bool actif) override {
        if (actif && !base_->enabled())
            auDemarrage_();
        base_->setEnabled(actif);
    }
    bool enabled() const override { return base_->enabled(); }

private:
    std::unique_ptr<Minuteur> base_;
    std::function<void()> auDemarrage_;
};

} // namespace

Station::Station(Plateforme& plateforme_, Dialogues& dialogues_, FabriqueTransport fabrique)
    : plateforme(plateforme_), dialogues(dialogues_), liaison(etat, std::move(fabrique)),
      Minuterie(std::make_unique<MinuterieEchantillonnage>(
          plateforme_.creeMinuteur(), [this] { liaison.reprendmesures(plateforme.horloge()); })) {
    // The timer is drawn with a 30 ms interval, disabled; start-up sets and enables it.
    Minuterie->setInterval(30);
    Minuterie->setEnabled(false);
    Minuterie->setMinuterie_Timer([this] { Minuterie_Timer(); });
    // What the routines show goes to memory until a screen is attached.
    detache();
}

Station::~Station() = default;

void Station::Minuterie_Timer() {
    const double maintenant = plateforme.horloge();
    const bool lecture = liaison.mesuretension(maintenant);
    if (liaison.perdu()) {
        notelaperte();
        return;
    }
    if (lecture) {
        ecran->tensionmesuree(maintenant, etat.tensionmesuree);
        if (veille)
            veille(maintenant);
    }
    surveilleinterface(maintenant);
    // Start-up's threshold and settings reach the window this way too.
    publieetat();
}

namespace {

const QString unereception = QStringLiteral("une réception");

// The screen while the settings chosen during a reception apply, once it has ended: the
// menus' prompts and warnings do not replace what the reception left in Texte1 and Texte2
// (the text received, its code). Everything else goes through.
class EcranTextesGardes final : public Ecran {
public:
    explicit EcranTextesGardes(Ecran& e) : e_(e) {}
    void fixetexte(Controle c, const QString& t) override {
        if (c != Controle::Texte1 && c != Controle::Texte2)
            e_.fixetexte(c, t);
    }
    QString texte(Controle c) const override { return e_.texte(c); }
    void fixelectureseule(Controle c, bool l) override { e_.fixelectureseule(c, l); }
    bool lectureseule(Controle c) const override { return e_.lectureseule(c); }
    void fixefond(Controle c, Fond f) override { e_.fixefond(c, f); }
    void fixeactif(Controle c, bool a) override { e_.fixeactif(c, a); }
    bool actif(Controle c) const override { return e_.actif(c); }
    void fixevisible(Controle c, bool v) override { e_.fixevisible(c, v); }
    void fixecoche(Controle c, bool v) override { e_.fixecoche(c, v); }
    void fixetitre(const QString& t) override { e_.fixetitre(t); }
    void montre() override { e_.montre(); }
    void appliquetaillepolice(int t) override { e_.appliquetaillepolice(t); }
    void metajourestimation() override { e_.metajourestimation(); }
    void saisie(Controle c, const QString& t) override { e_.saisie(c, t); }
    void etatposte(const CopieEtat& c) override { e_.etatposte(c); }
    void avis(const QString& t, const QString& a) override { e_.avis(t, a); }
    void notepriorite(const QString& n) override { e_.notepriorite(n); }
    void tensionmesuree(double i, double v) override { e_.tensionmesuree(i, v); }
    void demandeenregistrement(const QString& l) override { e_.demandeenregistrement(l); }
    void resultatreception(std::shared_ptr<const ResultatReception> r) override {
        e_.resultatreception(std::move(r));
    }
    void progressiontelechargement(const ProgressionTelechargement& p) override {
        e_.progressiontelechargement(p);
    }
    void debitmessage(const DebitMessage& d) override { e_.debitmessage(d); }

private:
    Ecran& e_;
};

} // namespace

void Station::demande(std::function<void()> requete) {
    if (!contexte_ || contexte_->thread() == QThread::currentThread()) {
        requete();
        publieetat();
        return;
    }
    contexte_->ajoute([this, requete = std::move(requete)] {
        requete();
        publieetat();
    });
}

void Station::demandereglage(std::function<void()> requete) {
    demande([this, requete = std::move(requete)]() mutable {
        if (activite == unereception)
            reglagesdifferes_.push_back(std::move(requete));
        else
            requete();
    });
}

void Station::appliquereglagesdifferes() {
    if (activite == unereception || reglagesdifferes_.empty())
        return;
    Ecran* const vrai = ecran;
    EcranTextesGardes garde(*vrai);
    ecran = &garde;
    for (const auto& requete : std::exchange(reglagesdifferes_, {}))
        requete();
    ecran = vrai;
    publieetat();
}

void Station::publieetat() {
    const CopieEtat copie = copieetat(etat);
    if (etatdejapublie_ && copie == etatpublie_)
        return;
    etatpublie_ = copie;
    etatdejapublie_ = true;
    ecran->etatposte(copie);
}

void Station::demandepriorite() {
    // Below the simulator's (it stands for hardware, which a busy PC does not slow) and
    // within what RealtimeKit grants a desktop user.
    priorite = demandeprioritetempsreel(10);
    ecran->notepriorite(notepriorite(priorite));
}

void Station::surveilleinterface(double maintenant) {
    if (priorite.accordee && !prioriteretiree_ && prioriteretiree()) {
        prioriteretiree_ = true;
        ecran->notepriorite(notepriorite(priorite));
    }
    if (!surveillanceinterface)
        return;
    const QString avis = liaison.avisinterface(maintenant);
    if (avis == avisinterface_)
        return;
    avisinterface_ = avis;
    ecran->avis(QStringLiteral("L'interface ne répond pas"), avis);
    if (observateurs.avisInterface)
        observateurs.avisInterface(avis);
}

void Station::notelaperte() {
    if (perteannoncee_)
        return;
    perteannoncee_ = true;
    liaison.oubliedescripteur();
    // Without its port the station would take every sample for darkness: the tick stops,
    // and what the routines wait for, light or replies, will not come. Nothing can reach
    // the interface meanwhile, not even the laser-off command.
    Minuterie->setEnabled(false);
    QString message = liaison.erreurPerte();
    if (liaison.niveauLaser() != Liaison::NiveauLaser::eteint)
        message += QStringLiteral(
            "\n\nLe laser n'a pas pu être éteint : il peut être resté allumé. Éteignez "
            "l'interface ou débranchez le laser.");
    // The device it waits for, not whatever the number may lead to meanwhile.
    const QString attendu = liaison.peripheriqueattendu();
    message +=
        QStringLiteral("\n\nLe programme essaie de rouvrir le port COM %1%2 chaque seconde : "
                       "il reprendra de lui-même, avec le même codage et la même "
                       "tension seuil, dès que le port reviendra. Rien de ce qui a été "
                       "reçu n'est perdu.")
            .arg(etat.numport)
            .arg(attendu.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(attendu));
    ecran->avis(QStringLiteral("Liaison avec l'interface perdue"), message);
    if (observateurs.liaisonPerdue)
        observateurs.liaisonPerdue(message);
}

void Station::noteleretour() {
    perteannoncee_ = false;
    avisinterface_.clear();
    ecran->avis(QStringLiteral("Liaison avec l'interface perdue"), QString());
    if (observateurs.liaisonRetablie)
        observateurs.liaisonRetablie();
}

void Station::arrete(int code) {
    // The window's last resort got there first: it turns the laser off and ends the
    // program; the port is left to it.
    if (arretcommence_.exchange(true))
        for (;;)
            std::this_thread::sleep_for(std::chrono::seconds(1));
    liaison.fermeport();
    plateforme.termineProgramme(code);
    std::abort(); // the platform does not come back
}

void Station::demandearret(int code) {
    if (!contexte_ || contexte_->thread() == QThread::currentThread())
        arrete(code);
    demande([this, code] { arrete(code); });
    std::thread([this, code] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (arretcommence_.exchange(true))
            return;
        extinctionurgence();
        plateforme.termineProgramme(code);
    }).detach();
}
