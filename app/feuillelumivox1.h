#pragma once

#include "link/ecran.h"
#include "link/etatpartage.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <memory>

class BarreMenus;
class Dialogues;
class FenetreAide;
class FenetreLumiereBanc;
class FenetreSignal;
class QAction;
class QLabel;
class QMenu;
class QMessageBox;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class Station;
class ZoneProportionnelle;

// The main form: the text to send, the received text, the buttons and the menu bar.
// Its handlers change the settings and the display; the emission and reception
// routines do the work, on the station's thread: the handlers hand them over
// (`Station::demande`) and never wait for them.
class Feuillelumivox1 : public QMainWindow, public Ecran {
    Q_OBJECT
public:
    // The form of `station`. When the station runs on the form's own thread (the tests),
    // the form becomes its screen; otherwise the program shows the station's calls on it
    // through an `EcranRelais`. The form's own boxes (A propos, the choosers' questions)
    // are `dialogues`, those of the station when none is given.
    explicit Feuillelumivox1(Station& station, Dialogues* dialogues = nullptr);
    ~Feuillelumivox1() override;

    // What the routines show (Ecran), on the form's own controls.
    void fixetexte(Controle controle, const QString& texte) override;
    QString texte(Controle controle) const override;
    void fixelectureseule(Controle controle, bool lectureseule) override;
    bool lectureseule(Controle controle) const override;
    void fixefond(Controle controle, Fond fond) override;
    void fixeactif(Controle controle, bool actif) override;
    bool actif(Controle controle) const override;
    void fixevisible(Controle controle, bool visible) override;
    void fixecoche(Controle controle, bool coche) override;
    void fixetitre(const QString& titre) override;
    void montre() override;
    void appliquetaillepolice(int taille) override;
    void metajourestimation() override;
    void etatposte(const CopieEtat& copie) override;
    void avis(const QString& titre, const QString& avis) override;
    void notepriorite(const QString& note) override;
    void tensionmesuree(double instant, double volts) override;
    void demandeenregistrement(const QString& legende) override;
    void resultatreception(std::shared_ptr<const ResultatReception> resultat) override;
    void progressiontelechargement(const ProgressionTelechargement& progression) override;
    void debitmessage(const DebitMessage& debit) override;

    Station& station() const { return station_; }
    // The form's own boxes.
    Dialogues& dialogues() const { return dialogues_; }
    // The station's settings, as it last sent them, the form's own choices in them at once.
    // A station on the form's own thread is read directly.
    CopieEtat etatposte() const;
    // The record of the last fast reception or recording decoded; null before any.
    std::shared_ptr<const ResultatReception> dernierresultat() const { return dernierresultat_; }

    // Controls, by the names the routines use.
    QLabel* Etiquette1;
    QPlainTextEdit* Texte1;
    QPushButton* Btonenvoiemorse;
    QPushButton* Btonenvoi_morserapide;
    QPushButton* Btonenvoiebinaire;
    QPushButton* Btonenvoi_binrap;
    QPushButton* Btonefface;
    QPushButton* Btonquitter;
    QLabel* Etiquette2;
    QPlainTextEdit* Texte2;
    // At the foot of the window: how long sending Texte1 takes in the coding and speed in
    // force, and what will go wrong.
    QLabel* estimation = nullptr;
    // The client area, whose controls grow with the window.
    ZoneProportionnelle* zoneproportionnelle;
    // In its place while a fast reception downloads its samples: how far it has come and
    // how long it still needs.
    QProgressBar* barretelechargement = nullptr;
    QLabel* lignetelechargement = nullptr;
    // At the foot too, once a message has come or gone: what its light carried (its rate).
    QLabel* lignedebit = nullptr;

    BarreMenus* barremenus = nullptr;
    QMenu* menu_codes;
    QAction* menu_e1;
    QAction* menu_e2;
    QAction* menu_e3;
    QAction* menu_e4;
    QAction* menu_quiestlauteur;
    QAction* menu_reponsezorvanek;
    QAction* menu_messagelong;
    QMenu* menu_reglage_minuterie;
    QAction* menu_30ms;
    QAction* menu_50ms;
    QMenu* menu_vitesseemission;
    QAction* menu_vit_emission09;
    QAction* menu_vit_emission0925;
    QAction* menu_vit_emission095;
    QAction* menu_vit_emission0975;
    QAction* menu_vit_emission1;
    QAction* menu_vit_emission11;
    QAction* menu_vit_emission12;
    QAction* menu_vit_emission13;
    QAction* menu_vit_emission2;
    QAction* menu_vit_emission3;
    QAction* menu_vit_emission4;
    QMenu* menu_police_texterecep;
    QAction* menu_police12;
    QAction* menu_police16;
    QAction* menu_police20;
    QAction* menu_police30;
    QMenu* menu_typecode;
    QAction* menu_typemorse;
    QAction* menu_typebinaire;
    QMenu* menu_typemorserapide;
    QAction* menu_morserap_17s;
    QAction* menu_morserap_34s;
    QAction* menu_decodage_fichiermorserap;
    QAction* menu_autorise_enregistremorse;
    QMenu* menu_typebinairerapide;
    QAction* menu_binairerap_17s;
    QAction* menu_binairerapide_33s;
    QAction* menu_decodage_fichierbinrap;
    QAction* menu_autorise_enregistrebin;
    QAction* menu_apropos;
    QAction* menu_OrphyGTSII;
    QMenu* menu_affichage;
    QAction* menu_signallumineux;
    QAction* menu_afficheenregistrement;
    QMenu* menu_options;
    QAction* menu_decodagerobuste;
    QAction* menu_telechargementblocs;
    QAction* menu_codagesrapides;
    QAction* menu_grandepolice;
    QAction* menu_bancsimule;
    QAction* menu_mesureseuil;
    // On a simulated bench only: the window of the bench's light.
    QAction* menu_lumierebanc;
    QMenu* menu_aide;
    QAction* menu_guide;
    QAction* menu_messages;

    // Button handlers (the four send buttons belong to the emission routines).
    void Btonefface_Click();
    void Btonquitter_Click();

    // Menu handlers.
    void menu_e1_Click();
    void menu_e2_Click();
    void menu_e3_Click();
    void menu_e4_Click();
    void menu_quiestlauteur_Click();
    void menu_reponsezorvanek_Click();
    void menu_messagelong_Click();
    void menu_30ms_Click();
    void menu_50ms_Click();
    void menu_vit_emission09_Click();
    void menu_vit_emission0925_Click();
    void menu_vit_emission095_Click();
    void menu_vit_emission0975_Click();
    void menu_vit_emission1_Click();
    void menu_vit_emission11_Click();
    void menu_vit_emission12_Click();
    void menu_vit_emission13_Click();
    void menu_vit_emission2_Click();
    void menu_vit_emission3_Click();
    void menu_vit_emission4_Click();
    void menu_police12_Click();
    void menu_police16_Click();
    void menu_police20_Click();
    void menu_police30_Click();
    void menu_typemorse_Click();
    void menu_typebinaire_Click();
    void menu_morserap_17s_Click();
    void menu_morserap_34s_Click();
    void menu_binairerap_17s_Click();
    void menu_binairerapide_33s_Click();
    void menu_autorise_enregistremorse_Click();
    void menu_autorise_enregistrebin_Click();
    void menu_decodage_fichiermorserap_Click();
    void menu_decodage_fichierbinrap_Click();
    void menu_apropos_Click();
    void menu_OrphyGTSII_Click();
    void menu_signallumineux_Click();
    void menu_afficheenregistrement_Click();
    void menu_decodagerobuste_Click();
    void menu_telechargementblocs_Click();
    void menu_codagesrapides_Click();
    void menu_grandepolice_Click();
    void menu_bancsimule_Click();
    void menu_mesureseuil_Click();
    void menu_lumierebanc_Click();
    void menu_guide_Click();
    void menu_messages_Click();

    // Puts the check marks of the menu "Options" in line with the station's settings.
    void afficheoptions();
    // The options "Décodage robuste" and "Téléchargement morse rapide par blocs" given to
    // the station (those remembered from the last run), their check marks in line.
    void fixeoptions(bool robuste, bool blocs);

    // Makes the two submenus of the fast codings reachable (they are disabled by design),
    // and ticks "Codages rapides" in the menu "Options", for this run only.
    void autorisecodagesrapides();
    // Opens (true) or closes the two submenus of the fast codings and puts the check mark
    // of "Codages rapides" in line. A closed submenu says in its tooltip how to open it.
    void fixecodagesrapides(bool ouverts);
    bool codagesrapidesouverts() const;
    // Applies the large font of the option "Grande police (projection)" (true) or the
    // system's, and puts its check mark in line.
    void fixegrandepolice(bool grande);

    // The help browser, opened at the section named by `ancre` (the start when empty).
    FenetreAide* ouvreaide(const QString& ancre = QString());

    // Something the user must know while the program goes on (the interface silent, the
    // port lost): `avis` in a box titled `titre` that does not stop the program and closes
    // by itself when all is well again (an empty `avis`).
    void afficheavis(const QString& titre, const QString& avis);
    QWidget* widget(Controle controle) const;
    QAction* action(Controle controle) const;
    // The note at the foot of the window when the program runs without real-time priority
    // (empty: none).
    void affichenotepriorite(const QString& note);

    // Display helpers shared by start-up, the menus and the routines.
    void fixefond(QWidget* controle, const QColor& couleur);
    // The font size in force applied to Texte1 and Texte2.
    void appliquetaillepolice();
    // Converts a length of the form's design, in twips, to pixels of this screen.
    int pixels(int twips) const;

signals:
    // The open chooser for a recording is asked for, with its caption.
    void ouverturefichierdemandee(const QString& legende);
    // After a fast reception: the save chooser for its recording is asked for, with its
    // caption.
    void enregistrementdemande(const QString& legende);
    // An item of the menu "Options" has been ticked or unticked.
    void optionschangees();
    // The user has ticked (true) or unticked "Codages rapides" in the menu "Options".
    void codagesrapideschoisis(bool ouverts);
    // The user has ticked (true) or unticked "Grande police (projection)".
    void grandepolicechoisie(bool grande);
    // The sampling tick has read EA0: `volts` at the clock reading `instant`.
    void mesurerecue(double instant, double volts);
    // A fast reception, or a recording decoded again, has ended: its record.
    void receptionrapide(std::shared_ptr<const ResultatReception> resultat);

protected:
    void closeEvent(QCloseEvent* evenement) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;
    void resizeEvent(QResizeEvent* evenement) override;
    void showEvent(QShowEvent* evenement) override;

private:
    void construitcontroles();
    void construitmenus();
    void relie();
    void choisitvitesse(QAction* article, int indice);
    void choisitpolice(QAction* article, int taille);
    void choisitcodagelent(bool morse);
    void choisitcodagerapide(bool morse, bool long_);
    // A recording permission item turned over: its check mark, and the flag of the station.
    void basculeautorisation(QAction* article, QString CopieEtat::*copie,
                             QString EtatPartage::*drapeau);
    // A send button's click: `routine` on the station, with the text of Texte1 as it is now.
    void envoie(void (*routine)(Station&));
    void ajustehauteurestimation();
    void construitprogression();

    Station& station_;
    Dialogues& dialogues_;
    CopieEtat etatposte_;
    QPointer<FenetreSignal> fenetresignal_;
    std::shared_ptr<const ResultatReception> dernierresultat_;
    QPointer<FenetreAide> fenetreaide_;
    QPointer<FenetreLumiereBanc> fenetrelumierebanc_;
    QMap<QString, QPointer<QMessageBox>> avis_;
    QLabel* notepriorite_ = nullptr;
    QList<QAction*> articlesvitesse_;
    QList<QAction*> articlespolice_;
    bool dejamontree_ = false;
    // Whether Texte1 holds the user's text (typed, or placed by a menu), rather than what
    // the station put there; and whether the station is putting it there now.
    bool texte1utilisateur_ = true;
    bool texteduposte_ = false;
};
