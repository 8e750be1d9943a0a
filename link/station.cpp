#include "link/station.h"

#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QThread>
#include <cstdlib>

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
}

void Station::demande(std::function<void()> requete) {
    if (!contexte_ || contexte_->thread() == QThread::currentThread()) {
        requete();
        return;
    }
    QMetaObject::invokeMethod(contexte_, std::move(requete), Qt::QueuedConnection);
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
    liaison.fermeport();
    plateforme.termineProgramme(code);
    std::abort(); // the platform does not come back
}
