#include "link/liaison.h"

const QByteArray Liaison::commandeMesureEA0 = QByteArray("XEA 0\r");
const QByteArray Liaison::commandeAllumeLaser = QByteArray("\x00\r", 2);
const QByteArray Liaison::commandeEteintLaser = QByteArray(" \r");
const QByteArray Liaison::commandeAllumeLaserRapide = QByteArray("\x00", 1);
const QByteArray Liaison::commandeEteintLaserRapide = QByteArray(" ");

Liaison::Liaison(EtatPartage& etat, FabriqueTransport fabrique)
    : etat_(etat), fabrique_(std::move(fabrique)) {}

bool Liaison::ouvreport(QString* erreur) {
    return ouvre(fabrique_(etat_.numport), erreur);
}

bool Liaison::rouvreport(QString* erreur) {
    return ouvre(rouvre_ ? rouvre_() : fabrique_(etat_.numport), erreur);
}

bool Liaison::ouvre(OuverturePort ouverture, QString* erreur) {
    if (!ouverture.transport) {
        if (erreur)
            *erreur = ouverture.erreur;
        return false;
    }
    descripteur_.store(-1);
    transport_ = std::move(ouverture.transport);
    descripteur_.store(transport_->descripteur());
    rouvre_ = std::move(ouverture.rouvre);
    attendu_ = ouverture.attendu;
    eteintlaser();
    return true;
}

void Liaison::fermeport() {
    if (!transport_)
        return;
    if (estOuvert()) {
        if (commandeouverte_)
            transport_->ecris(QByteArrayLiteral("\r"));
        eteintlaser();
        // A pseudo-terminal or an adapter may drop what has not left when it closes.
        transport_->vide(0.5);
    }
    descripteur_.store(-1);
    transport_->ferme();
}

bool Liaison::estOuvert() const {
    return transport_ && transport_->estOuvert();
}

void Liaison::envoiecommande(const QByteArray& texte) {
    // Nothing to write to once the port is closed (Quit) or lost.
    if (!estOuvert() || texte.isEmpty())
        return;
    transport_->ecris(texte);
    // Keying bytes stand outside any command; anything else opens a command text, which
    // its CR closes.
    const bool touche = texte.size() == 1 && (texte[0] == '\0' || texte[0] == ' ');
    if (!touche)
        commandeouverte_ = !texte.endsWith('\r');
}

QByteArray Liaison::litentree() {
    etat_.reponsecom = estOuvert() ? transport_->lis(longueurlecture_ == 1 ? 1 : 0) : QByteArray();
    return etat_.reponsecom;
}

void Liaison::fixelongueurlecture(int n) {
    longueurlecture_ = n;
    // Reading one character at a time is what a download does: it waits for each one.
    if (transport_)
        transport_->reveilSurEntree(n == 1);
}

bool Liaison::mesuretension(double maintenant) {
    // The reply read here is the one to the previous tick's request: the voltage is one
    // tick old, and the slow receivers' timing allows for it. A reply that has not come
    // is no reading of darkness.
    const Echantillonneur::Releve releve = echantillonneur_.prend(litentree(), maintenant);
    if (releve.recue)
        etat_.tensionmesuree = releve.valeur * 5.0 / 255;
    envoiecommande(commandeMesureEA0);
    if (estOuvert())
        echantillonneur_.requeteEcrite(maintenant);
    return releve.recue;
}

void Liaison::reprendmesures(double maintenant) {
    echantillonneur_.reprend(maintenant, estOuvert() ? transport_->lis(0) : QByteArray());
}

QString Liaison::avisinterface(double maintenant) const {
    const QString port =
        transport_ && !transport_->peripherique().isEmpty()
            ? QStringLiteral("COM %1 (%2)").arg(etat_.numport).arg(transport_->peripherique())
            : QStringLiteral("COM %1").arg(etat_.numport);
    switch (echantillonneur_.etat(maintenant)) {
    case Echantillonneur::EtatInterface::repond:
        return {};
    case Echantillonneur::EtatInterface::muette:
        return messageinterfacemuette(port);
    case Echantillonneur::EtatInterface::incomprehensible:
        return messageinterfaceincomprehensible(port);
    }
    return {};
}

QString messageinterfacemuette(const QString& port) {
    return QStringLiteral("L'interface du port %1 ne répond pas : aucune mesure de l'entrée EA0 "
                          "n'est revenue depuis une demi-seconde. Vérifiez que l'interface est "
                          "allumée, que son câble est bien branché, et sur ce port, et que le "
                          "numéro du port est le bon.")
        .arg(port);
}

QString messageinterfaceincomprehensible(const QString& port) {
    return QStringLiteral("L'interface du port %1 répond, mais ses réponses ne sont pas des "
                          "mesures de l'entrée EA0. Vérifiez que c'est bien l'interface Orphy "
                          "GTS qui est branchée sur ce port, puis faites RAZ Orphy.")
        .arg(port);
}

void Liaison::allumelaser() {
    envoiecommande(commandeAllumeLaser);
    niveauLaser_ = NiveauLaser::allume;
}
void Liaison::eteintlaser() {
    envoiecommande(commandeEteintLaser);
    niveauLaser_ = NiveauLaser::eteint;
}
void Liaison::allumelaserrapide() {
    envoiecommande(commandeAllumeLaserRapide);
    niveauLaser_ = NiveauLaser::allume;
}
void Liaison::eteintlaserrapide() {
    envoiecommande(commandeEteintLaserRapide);
    niveauLaser_ = NiveauLaser::eteint;
}

qint64 Liaison::octetsEnAttente() const {
    return estOuvert() ? transport_->octetsEnAttente() : 0;
}
