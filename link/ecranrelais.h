#pragma once

#include "link/ecran.h"
#include "link/ecranmemoire.h"

class FileAppels;

// The screen of a station that runs on a thread of its own: each call of a routine is
// carried, in order, to the window on the window's thread (queued; the routine never waits
// for it), and what a routine reads back (a caption it set, the enabled state of a button,
// the text handed over with a click) is read from a copy kept on the station's side, never
// from a widget across threads.
class EcranRelais final : public Ecran {
public:
    // `fenetre` is shown through `appels`, which live on the window's thread.
    EcranRelais(Ecran& fenetre, FileAppels& appels) : fenetre_(fenetre), appels_(appels) {}

    void fixetexte(Controle controle, const QString& texte) override;
    QString texte(Controle controle) const override { return copie_.texte(controle); }
    void fixelectureseule(Controle controle, bool lectureseule) override;
    bool lectureseule(Controle controle) const override { return copie_.lectureseule(controle); }
    void fixefond(Controle controle, Fond fond) override;
    void fixeactif(Controle controle, bool actif) override;
    bool actif(Controle controle) const override { return copie_.actif(controle); }
    void fixevisible(Controle controle, bool visible) override;
    void fixecoche(Controle controle, bool coche) override;
    void fixetitre(const QString& titre) override;
    void montre() override;
    void appliquetaillepolice(int taille) override;
    void metajourestimation() override;
    void saisie(Controle controle, const QString& texte) override {
        copie_.saisie(controle, texte);
    }
    void etatposte(const CopieEtat& copie) override;
    void avis(const QString& titre, const QString& avis) override;
    void notepriorite(const QString& note) override;
    void tensionmesuree(double instant, double volts) override;
    void demandeenregistrement(const QString& legende) override;
    void resultatreception(std::shared_ptr<const ResultatReception> resultat) override;
    void progressiontelechargement(const ProgressionTelechargement& progression) override;
    void debitmessage(const DebitMessage& debit) override;

private:
    // Runs `appel` on the window's thread, after those carried before it.
    template <typename Appel> void transmet(Appel appel);

    Ecran& fenetre_;
    FileAppels& appels_;
    EcranMemoire copie_;
};
