#include "receive/lumiere.h"

#include "link/station.h"

SuiviLumiere::SuiviLumiere(Station& s)
    : s_(s), etat_(etatde(s.etat.tensionmesuree)), depuis_(s.plateforme.horloge()),
      derniere_(s.liaison.echantillonneur().derniereLecture()) {}

SuiviLumiere::Etat SuiviLumiere::etatde(double tension) const {
    const double seuil = s_.etat.tensionseuil;
    return tension > seuil ? Etat::allumee : tension < seuil ? Etat::eteinte : Etat::seuil;
}

void SuiviLumiere::cede(double echeance) {
    cedeavant(s_.plateforme, echeance);
    prend();
}

void SuiviLumiere::prend() {
    // A new reading is one whose request is not the last one taken in.
    const double lecture = s_.liaison.echantillonneur().derniereLecture();
    if (lecture == derniere_)
        return;
    derniere_ = lecture;
    const Etat lu = etatde(s_.etat.tensionmesuree);
    const double maintenant = s_.plateforme.horloge();
    if (lu == etat_) {
        attente_ = false;
        return;
    }
    // Elements that may be read once: each reading counts.
    const double tic = s_.Minuterie->interval() / 1000.0;
    if (elementminimal_ - arretemetteur < 2 * tic) {
        etat_ = lu;
        depuis_ = maintenant;
        attente_ = false;
        return;
    }
    if (attente_ && lu == candidat_) {
        etat_ = lu;
        depuis_ = debutcandidat_;
        attente_ = false;
        return;
    }
    attente_ = true;
    candidat_ = lu;
    debutcandidat_ = maintenant;
}

void SuiviLumiere::tranche() {
    while (attente_ && !s_.liaisonperdue())
        cede();
}

double SuiviLumiere::connuejusqua() const {
    return attente_ ? debutcandidat_ : s_.plateforme.horloge();
}

bool marquededebut(SuiviLumiere& l, const QString& typecodage, double duree, double& t1) {
    Station& s = l.station();
    EtatPartage& e = s.etat;
    l.cede();
    const double t0 = l.allumee() ? l.depuis() : s.plateforme.horloge();
    while (e.typecodage == typecodage && l.allumee() && !s.liaisonperdue()) {
        l.cede();
        t1 = l.allumee() ? s.plateforme.horloge() : l.depuis();
    }
    if (t1 - t0 >= duree && !s.liaisonperdue())
        return true;
    e.compteursilence = 0;
    return false;
}
