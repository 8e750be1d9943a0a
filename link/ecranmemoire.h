#pragma once

#include "link/ecran.h"
#include "link/etatpartage.h"

#include <QMap>
#include <QString>
#include <functional>
#include <utility>

// A screen held in memory: what the routines show is kept, control by control, and read
// back by whoever needs it (the headless tool prints the received text from it, the tests
// check it). Every control starts empty, enabled, visible, editable. A station shows here
// until a screen of its own is attached.
class EcranMemoire : public Ecran {
public:
    struct Etat {
        QString texte;
        bool lectureseule = false;
        bool actif = true;
        bool visible = true;
        bool coche = false;
        Fond fond = Fond::vertclair;
    };

    void fixetexte(Controle controle, const QString& texte) override {
        controles_[controle].texte = texte;
        if (surTexte)
            surTexte(controle, texte);
    }
    QString texte(Controle controle) const override { return controles_.value(controle).texte; }
    void fixelectureseule(Controle controle, bool lectureseule) override {
        controles_[controle].lectureseule = lectureseule;
    }
    bool lectureseule(Controle controle) const override {
        return controles_.value(controle).lectureseule;
    }
    void fixefond(Controle controle, Fond fond) override { controles_[controle].fond = fond; }
    void fixeactif(Controle controle, bool actif) override { controles_[controle].actif = actif; }
    bool actif(Controle controle) const override { return controles_.value(controle).actif; }
    void fixevisible(Controle controle, bool visible) override {
        controles_[controle].visible = visible;
    }
    void fixecoche(Controle controle, bool coche) override { controles_[controle].coche = coche; }
    void fixetitre(const QString& titre) override { titre_ = titre; }
    void montre() override {
        montre_ = true;
        if (surMontre)
            std::exchange(surMontre, nullptr)();
    }
    void appliquetaillepolice(int taille) override { taillepolice_ = taille; }
    void metajourestimation() override {}
    void saisie(Controle controle, const QString& texte) override {
        controles_[controle].texte = texte;
    }
    void etatposte(const CopieEtat& copie) override { etatposte_ = copie; }
    void avis(const QString& titre, const QString& avis) override { avis_[titre] = avis; }
    void notepriorite(const QString& note) override { notepriorite_ = note; }
    void tensionmesuree(double, double) override {}
    void demandeenregistrement(const QString& legende) override {
        legendeenregistrement_ = legende;
    }
    void progressiontelechargement(const ProgressionTelechargement& progression) override {
        progression_ = progression;
        if (surProgression)
            surProgression(progression);
    }
    void debitmessage(const DebitMessage& debit) override {
        debit_ = debit;
        if (surDebit)
            surDebit(debit);
    }
    void resultatreception(std::shared_ptr<const ResultatReception> resultat) override {
        if (surResultat && resultat)
            surResultat(*resultat);
    }
    // Who takes the record of each fast reception (the headless tool saves it).
    std::function<void(const ResultatReception&)> surResultat;
    // Who follows a text as it changes (the Morse code string of a reception, shown as it
    // grows).
    std::function<void(Controle, const QString&)> surTexte;
    // Who follows a download as it goes (the headless tool prints it).
    std::function<void(const ProgressionTelechargement&)> surProgression;
    // Who takes what the light of each message carried (the headless tool prints it).
    std::function<void(const DebitMessage&)> surDebit;
    // What runs once, the first time the window is shown: the idle loop has begun.
    std::function<void()> surMontre;

    Etat etat(Controle controle) const { return controles_.value(controle); }
    QString titre() const { return titre_; }
    bool montre_ = false;
    int taillepolice_ = 0;
    QMap<QString, QString> avis_;
    QString notepriorite_;
    QString legendeenregistrement_;
    ProgressionTelechargement progression_; // the last one reported
    CopieEtat etatposte_;                   // the last settings sent
    DebitMessage debit_;                    // the last message's

private:
    QMap<Controle, Etat> controles_;
    QString titre_;
};
