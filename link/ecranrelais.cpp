#include "link/ecranrelais.h"

#include "link/fileappels.h"

template <typename Appel> void EcranRelais::transmet(Appel appel) {
    appels_.ajoute([&fenetre = fenetre_, appel = std::move(appel)] { appel(fenetre); });
}

void EcranRelais::fixetexte(Controle controle, const QString& texte) {
    copie_.fixetexte(controle, texte);
    transmet([controle, texte](Ecran& f) { f.fixetexte(controle, texte); });
}

void EcranRelais::fixelectureseule(Controle controle, bool lectureseule) {
    copie_.fixelectureseule(controle, lectureseule);
    transmet([controle, lectureseule](Ecran& f) { f.fixelectureseule(controle, lectureseule); });
}

void EcranRelais::fixefond(Controle controle, Fond fond) {
    copie_.fixefond(controle, fond);
    transmet([controle, fond](Ecran& f) { f.fixefond(controle, fond); });
}

void EcranRelais::fixeactif(Controle controle, bool actif) {
    copie_.fixeactif(controle, actif);
    transmet([controle, actif](Ecran& f) { f.fixeactif(controle, actif); });
}

void EcranRelais::fixevisible(Controle controle, bool visible) {
    copie_.fixevisible(controle, visible);
    transmet([controle, visible](Ecran& f) { f.fixevisible(controle, visible); });
}

void EcranRelais::fixecoche(Controle controle, bool coche) {
    copie_.fixecoche(controle, coche);
    transmet([controle, coche](Ecran& f) { f.fixecoche(controle, coche); });
}

void EcranRelais::fixetitre(const QString& titre) {
    transmet([titre](Ecran& f) { f.fixetitre(titre); });
}

void EcranRelais::montre() {
    transmet([](Ecran& f) { f.montre(); });
}

void EcranRelais::appliquetaillepolice(int taille) {
    transmet([taille](Ecran& f) { f.appliquetaillepolice(taille); });
}

void EcranRelais::metajourestimation() {
    transmet([](Ecran& f) { f.metajourestimation(); });
}

void EcranRelais::etatposte(const CopieEtat& copie) {
    transmet([copie](Ecran& f) { f.etatposte(copie); });
}

void EcranRelais::avis(const QString& titre, const QString& avis) {
    transmet([titre, avis](Ecran& f) { f.avis(titre, avis); });
}

void EcranRelais::notepriorite(const QString& note) {
    transmet([note](Ecran& f) { f.notepriorite(note); });
}

void EcranRelais::tensionmesuree(double instant, double volts) {
    transmet([instant, volts](Ecran& f) { f.tensionmesuree(instant, volts); });
}

void EcranRelais::demandeenregistrement(const QString& legende) {
    transmet([legende](Ecran& f) { f.demandeenregistrement(legende); });
}

void EcranRelais::resultatreception(std::shared_ptr<const ResultatReception> resultat) {
    transmet([resultat = std::move(resultat)](Ecran& f) { f.resultatreception(resultat); });
}

void EcranRelais::progressiontelechargement(const ProgressionTelechargement& progression) {
    transmet([progression](Ecran& f) { f.progressiontelechargement(progression); });
}

void EcranRelais::debitmessage(const DebitMessage& debit) {
    transmet([debit](Ecran& f) { f.debitmessage(debit); });
}
