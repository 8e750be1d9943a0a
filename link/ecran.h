#pragma once

#include <QString>
#include <memory>

struct CopieEtat;
struct ResultatReception;

// How far the download of a fast recording has come.
struct ProgressionTelechargement {
    int recues = 0;    // values stored so far
    int demandees = 0; // values the download asks for
    // Seconds still to go: the values left at the rate measured since the download began
    // (at the usual rate of the way it asks for them, until one is measured).
    double reste = 0;
    // One request per value (fast Morse without the option of blocks): the long way.
    bool parvaleur = false;
    bool fini = false; // ended, or abandoned
};

// What the light of one message carried, measured on the light itself: the characters it
// carried and the time from the first change of its light to the last (the start mark, the
// opening of the fast codings and the end mark left out). recording/debit.h computes it
// and words it.
struct DebitMessage {
    bool morse = true;
    bool emis = false;  // what this station sent; otherwise what it received
    int caracteres = 0; // the characters carried, the blanks between words included
    int bits = 0;       // binary: the frames' bits, 9 a character, start bits included
    double unites = 0;  // Morse: the message's length in dots, from its first light to its last
    double duree = 0;   // seconds from the first change of the light to the last; 0: none
};

// What a station's routines show and ask, whatever shows it: the main form on screen, the
// terminal of the headless tool, the memory of a test. The routines name the form's
// controls as the program always has; they never see a widget.
class Ecran {
public:
    // The controls the routines change.
    enum class Controle {
        Etiquette1,
        Texte1,
        Etiquette2,
        Texte2,
        Btonenvoiemorse,
        Btonenvoi_morserapide,
        Btonenvoiebinaire,
        Btonenvoi_binrap,
        Btonefface,
        menu_typemorse,
        menu_typebinaire,
        menu_30ms,
        menu_50ms,
    };
    // Light green is the colour of the emission area, light yellow that of the reception
    // area; each area takes the other's colour while a message goes the other way.
    enum class Fond { vertclair, jauneclair };

    virtual ~Ecran() = default;

    // The caption of a label, or the text of a text box.
    virtual void fixetexte(Controle controle, const QString& texte) = 0;
    virtual QString texte(Controle controle) const = 0;
    // A text box that the user cannot type into.
    virtual void fixelectureseule(Controle controle, bool lectureseule) = 0;
    virtual bool lectureseule(Controle controle) const = 0;
    virtual void fixefond(Controle controle, Fond fond) = 0;
    // Buttons and menu items.
    virtual void fixeactif(Controle controle, bool actif) = 0;
    virtual bool actif(Controle controle) const = 0;
    virtual void fixevisible(Controle controle, bool visible) = 0;
    virtual void fixecoche(Controle controle, bool coche) = 0;
    // The title of the main window.
    virtual void fixetitre(const QString& titre) = 0;
    // The window shown (the idle loop and the routines show it as they go).
    virtual void montre() = 0;
    // The font size `taillepolice` applied to Texte1 and Texte2.
    virtual void appliquetaillepolice(int taille) = 0;
    // The estimate of the emission of Texte1 computed again (the coding, the speed or the
    // text changed).
    virtual void metajourestimation() = 0;
    // The text the user typed in a control, handed to the station with the request that
    // reads it (a send button's click): a screen that shows on the routine's own thread
    // has it already.
    virtual void saisie(Controle, const QString&) {}
    // The station's settings have changed: what the window knows of them.
    virtual void etatposte(const CopieEtat& copie) = 0;

    // Something the user must know while the program goes on (the interface silent, the
    // port lost): `avis` under `titre`, without stopping anything; an empty `avis` when all
    // is well again.
    virtual void avis(const QString& titre, const QString& avis) = 0;
    // The note that the program runs without real-time priority (empty: none).
    virtual void notepriorite(const QString& note) = 0;
    // The tick read `volts` on EA0 at the clock reading `instant`.
    virtual void tensionmesuree(double instant, double volts) = 0;
    // After a fast reception whose user allows it: the save chooser, with its caption. The
    // routine does not wait for it.
    virtual void demandeenregistrement(const QString& legende) = 0;
    // A fast reception, or a recording decoded again, has ended: its record, which every
    // view of a recording reads.
    virtual void resultatreception(std::shared_ptr<const ResultatReception> resultat) = 0;
    // A message has been received or sent: what its light carried (after each one; a
    // `duree` of 0 when the message had no light to measure).
    virtual void debitmessage(const DebitMessage& debit) = 0;
    // A download is under way (`recues` 0 when it starts), a few times a second, and once
    // more with `fini` when it ends or is abandoned.
    virtual void progressiontelechargement(const ProgressionTelechargement& progression) = 0;
};
