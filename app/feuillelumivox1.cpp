#include "app/feuillelumivox1.h"

#include "app/barremenus.h"
#include "app/boutonmultiligne.h"
#include "app/couleurs.h"
#include "app/zoneproportionnelle.h"
#include "choosers/polices.h"
#include "choosers/twips.h"
#include "emit/btonenvoibinrap.h"
#include "emit/btonenvoiebinaire.h"
#include "emit/btonenvoiemorse.h"
#include "emit/btonenvoimorserapide.h"
#include "emit/estimationemission.h"
#include "link/dialogues.h"
#include "link/station.h"
#include "link/tubebanc.h"
#include "receive/progressiontelechargement.h"
#include "recording/resultatreception.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QTextDocument>
#include <algorithm>
#include <utility>

namespace {

QAction* article(QMenu* menu, const QString& legende, bool coche = false) {
    QAction* a = menu->addAction(legende);
    a->setCheckable(true);
    a->setChecked(coche);
    return a;
}

} // namespace

Feuillelumivox1::Feuillelumivox1(Station& station, Dialogues* dialogues)
    : station_(station), dialogues_(dialogues ? *dialogues : station.dialogues) {
    if (!station_.filpropre())
        station_.attache(*this);
    setWindowTitle(
        QStringLiteral("Communication entre deux ordinateurs en code binaire 8 bits ASCII"));
    setFont(policeformulaire(12));
    construitcontroles();
    construitmenus();
    relie();
    // A long warning goes onto further lines of the status bar rather than past the edge
    // of the window, which keeps the width it was drawn with.
    estimation = new QLabel(this);
    estimation->setTextFormat(Qt::RichText);
    estimation->setWordWrap(true);
    statusBar()->addWidget(estimation, 1);
    statusBar()->setSizeGripEnabled(false);
    construitprogression();
    Texte1->installEventFilter(this);
    connect(Texte1, &QPlainTextEdit::textChanged, this, [this] {
        // Typed, erased, or placed by a menu of prepared texts: the user's own text.
        if (!texteduposte_)
            texte1utilisateur_ = true;
        metajourestimation();
    });
    metajourestimation();
}

void Feuillelumivox1::showEvent(QShowEvent* evenement) {
    QMainWindow::showEvent(evenement);
    if (std::exchange(dejamontree_, true))
        return;
    // The first time, the window takes the size that gives the client area its drawn
    // size: the menu bar, its rows laid out at that width, does not ask more at the start.
    layout()->activate();
    const QSize ecart = zoneproportionnelle->size() - zoneproportionnelle->sizeHint();
    if (!ecart.isNull() && !isMaximized() && !isFullScreen())
        resize(size() - ecart);
}

void Feuillelumivox1::resizeEvent(QResizeEvent* evenement) {
    QMainWindow::resizeEvent(evenement);
    if (estimation)
        ajustehauteurestimation();
}

int Feuillelumivox1::pixels(int twips) const {
    return pixelsdetwips(twips);
}

void Feuillelumivox1::fixefond(QWidget* controle, const QColor& couleur) {
    QPalette palette = controle->palette();
    palette.setColor(QPalette::Window, couleur);
    palette.setColor(QPalette::Base, couleur);
    controle->setPalette(palette);
    controle->setAutoFillBackground(true);
}

void Feuillelumivox1::appliquetaillepolice() {
    appliquetaillepolice(etatposte().taillepolice);
}

void Feuillelumivox1::appliquetaillepolice(int taille) {
    for (QPlainTextEdit* texte : {Texte1, Texte2}) {
        QFont police = texte->font();
        police.setPointSize(taille);
        texte->setFont(police);
    }
}

Feuillelumivox1::~Feuillelumivox1() {
    // The routines of a station that outlives its form show in memory again.
    if (station_.ecran == this)
        station_.detache();
}

QWidget* Feuillelumivox1::widget(Controle controle) const {
    switch (controle) {
    case Controle::Etiquette1:
        return Etiquette1;
    case Controle::Texte1:
        return Texte1;
    case Controle::Etiquette2:
        return Etiquette2;
    case Controle::Texte2:
        return Texte2;
    case Controle::Btonenvoiemorse:
        return Btonenvoiemorse;
    case Controle::Btonenvoi_morserapide:
        return Btonenvoi_morserapide;
    case Controle::Btonenvoiebinaire:
        return Btonenvoiebinaire;
    case Controle::Btonenvoi_binrap:
        return Btonenvoi_binrap;
    case Controle::Btonefface:
        return Btonefface;
    default:
        return nullptr;
    }
}

QAction* Feuillelumivox1::action(Controle controle) const {
    switch (controle) {
    case Controle::menu_typemorse:
        return menu_typemorse;
    case Controle::menu_typebinaire:
        return menu_typebinaire;
    case Controle::menu_30ms:
        return menu_30ms;
    case Controle::menu_50ms:
        return menu_50ms;
    default:
        return nullptr;
    }
}

void Feuillelumivox1::fixetexte(Controle controle, const QString& texte) {
    if (auto* etiquette = qobject_cast<QLabel*>(widget(controle))) {
        etiquette->setText(texte);
    } else if (auto* boite = qobject_cast<QPlainTextEdit*>(widget(controle))) {
        // What the station puts in Texte1 (a code received, a prompt) is nobody's message
        // to send until the user changes it.
        if (boite == Texte1)
            texte1utilisateur_ = false;
        const bool avant = std::exchange(texteduposte_, boite == Texte1);
        boite->setPlainText(texte);
        texteduposte_ = avant;
    }
}

QString Feuillelumivox1::texte(Controle controle) const {
    if (auto* etiquette = qobject_cast<QLabel*>(widget(controle)))
        return etiquette->text();
    auto* boite = qobject_cast<QPlainTextEdit*>(widget(controle));
    if (!boite)
        return {};
    // The raw text: toPlainText() would turn a no-break space, a character the binary
    // coding sends, into a blank.
    QString texte = boite->document()->toRawText();
    texte.replace(QChar::ParagraphSeparator, u'\n');
    texte.replace(QChar::LineSeparator, u'\n');
    return texte;
}

void Feuillelumivox1::fixelectureseule(Controle controle, bool lectureseule) {
    if (auto* boite = qobject_cast<QPlainTextEdit*>(widget(controle)))
        boite->setReadOnly(lectureseule);
}

bool Feuillelumivox1::lectureseule(Controle controle) const {
    auto* boite = qobject_cast<QPlainTextEdit*>(widget(controle));
    return boite && boite->isReadOnly();
}

void Feuillelumivox1::fixefond(Controle controle, Fond fond) {
    if (QWidget* w = widget(controle))
        fixefond(w, fond == Fond::vertclair ? vertclair : jauneclair);
}

void Feuillelumivox1::fixeactif(Controle controle, bool actif) {
    if (QWidget* w = widget(controle))
        w->setEnabled(actif);
    else if (QAction* a = action(controle))
        a->setEnabled(actif);
}

bool Feuillelumivox1::actif(Controle controle) const {
    if (QWidget* w = widget(controle))
        return w->isEnabled();
    QAction* a = action(controle);
    return a && a->isEnabled();
}

void Feuillelumivox1::fixevisible(Controle controle, bool visible) {
    if (QWidget* w = widget(controle))
        w->setVisible(visible);
    else if (QAction* a = action(controle))
        a->setVisible(visible);
}

void Feuillelumivox1::fixecoche(Controle controle, bool coche) {
    if (QAction* a = action(controle))
        a->setChecked(coche);
}

void Feuillelumivox1::fixetitre(const QString& titre) {
    setWindowTitle(titre);
}

void Feuillelumivox1::montre() {
    show();
}

void Feuillelumivox1::avis(const QString& titre, const QString& avis) {
    afficheavis(titre, avis);
}

void Feuillelumivox1::notepriorite(const QString& note) {
    affichenotepriorite(note);
}

void Feuillelumivox1::tensionmesuree(double instant, double volts) {
    emit mesurerecue(instant, volts);
}

void Feuillelumivox1::demandeenregistrement(const QString& legende) {
    emit enregistrementdemande(legende);
}

CopieEtat Feuillelumivox1::etatposte() const {
    return station_.filpropre() ? etatposte_ : copieetat(station_.etat);
}

void Feuillelumivox1::etatposte(const CopieEtat& copie) {
    etatposte_ = copie;
    afficheoptions();
    metajourestimation();
}

void Feuillelumivox1::resultatreception(std::shared_ptr<const ResultatReception> resultat) {
    dernierresultat_ = std::move(resultat);
    emit receptionrapide(dernierresultat_);
}

void Feuillelumivox1::construitprogression() {
    barretelechargement = new QProgressBar(this);
    barretelechargement->setTextVisible(false);
    barretelechargement->setFixedWidth(pixels(2400));
    lignetelechargement = new QLabel(this);
    lignetelechargement->setWordWrap(true);
    statusBar()->addWidget(barretelechargement);
    statusBar()->addWidget(lignetelechargement, 1);
    barretelechargement->hide();
    lignetelechargement->hide();
}

// The captions of the routines stay as they are (the length of the recording); the foot
// of the window says how far the download is and how long it will really take.
void Feuillelumivox1::progressiontelechargement(const ProgressionTelechargement& p) {
    if (p.fini) {
        barretelechargement->hide();
        lignetelechargement->hide();
        lignetelechargement->clear();
        estimation->show();
        return;
    }
    barretelechargement->setRange(0, std::max(1, p.demandees));
    barretelechargement->setValue(std::clamp(p.recues, 0, std::max(1, p.demandees)));
    const QString ligne =
        ligneprogression(p, conseilarticleblocs(menu_telechargementblocs->text()));
    if (lignetelechargement->text() != ligne) {
        lignetelechargement->setText(ligne);
        ajustehauteurestimation();
    }
    estimation->hide();
    barretelechargement->show();
    lignetelechargement->show();
}

void Feuillelumivox1::construitcontroles() {
    // The form starts at the size it was drawn with, and its controls grow with the window
    // (a projector's screen). Texte1 and Texte2 keep the font size of the menu "police
    // textes".
    auto* zone = new ZoneProportionnelle(11880, 7830, this);
    setCentralWidget(zone);
    zoneproportionnelle = zone;

    const auto place = [zone](QWidget* c, int gauche, int haut, int largeur, int hauteur) {
        zone->place(c, QRect(gauche, haut, largeur, hauteur), !qobject_cast<QPlainTextEdit*>(c));
    };
    auto etiquette = [&](const QString& legende, const QColor& fond) {
        auto* e = new QLabel(legende, zone);
        e->setFont(policeformulaire(13.5));
        fixefond(e, fond);
        return e;
    };
    auto texte = [&](const QColor& fond) {
        auto* t = new QPlainTextEdit(zone);
        t->setFont(policetexte(12));
        fixefond(t, fond);
        return t;
    };
    auto bouton = [&](const QString& legende) {
        auto* b = new BoutonMultiligne(legende, zone);
        b->setFont(policeformulaire(13.5));
        return b;
    };

    Etiquette1 =
        etiquette(QStringLiteral("Entrer un message (tout caractère clavier) ou code"), vertclair);
    place(Etiquette1, 120, 120, 11655, 495);
    Texte1 = texte(vertclair);
    place(Texte1, 120, 600, 11655, 1935);
    Btonenvoiemorse = bouton(QStringLiteral("E&nvoi du message en code morse"));
    place(Btonenvoiemorse, 120, 2760, 3135, 975);
    Btonenvoi_morserapide = bouton(QStringLiteral("Envoi du message en morse rapide"));
    place(Btonenvoi_morserapide, 120, 2760, 3135, 975);
    Btonenvoiebinaire = bouton(QStringLiteral("&Envoi du message en code binaire"));
    place(Btonenvoiebinaire, 3480, 2760, 3015, 975);
    Btonenvoi_binrap = bouton(QStringLiteral("Envoi du message en binaire rapide"));
    place(Btonenvoi_binrap, 3480, 2760, 3015, 975);
    Btonefface = bouton(QStringLiteral("E&ffacer le message affiché pour envoi"));
    place(Btonefface, 6840, 2760, 2895, 975);
    Btonquitter = bouton(QStringLiteral("&Quitter"));
    place(Btonquitter, 9960, 3000, 1695, 615);
    Etiquette2 = etiquette(QStringLiteral("Réception de message"), jauneclair);
    place(Etiquette2, 120, 4080, 11655, 735);
    // The received text box reaches below the client area, as the form was drawn.
    Texte2 = texte(jauneclair);
    place(Texte2, 120, 4800, 11655, 3495);
}

void Feuillelumivox1::construitmenus() {
    // The menus wrap onto a second row rather than hide behind an extension button, and
    // use the system's menu font rather than the form's.
    auto* barre = new BarreMenus(this);
    barre->setFont(QApplication::font("QMenuBar"));
    setMenuWidget(barre);
    barremenus = barre;

    menu_codes = barre->addMenu(QStringLiteral("&Codes de messages prédéfinis"));
    menu_e1 =
        menu_codes->addAction(QStringLiteral("e1 : les sciences physiques constituent de ..."));
    menu_e2 = menu_codes->addAction(QStringLiteral("e2 : c'est grâce à la physique qu'on ..."));
    menu_e3 = menu_codes->addAction(QStringLiteral("e3: c'est grâce à la chimie qu'on ..."));
    menu_e4 = menu_codes->addAction(QStringLiteral("e4: les sciences physiques permettent ..."));
    menu_quiestlauteur =
        menu_codes->addAction(QStringLiteral("Quel est  l'auteur de la  relativité ?"));
    menu_reponsezorvanek =
        menu_codes->addAction(QStringLiteral(" c'est Zorvanek Tibrus, bien sûr !"));
    menu_messagelong = menu_codes->addAction(
        QStringLiteral("Quel est l'auteur des deux théories de la relativité ..."));

    menu_reglage_minuterie = barre->addMenu(QStringLiteral("&réglage minuterie"));
    menu_30ms = article(
        menu_reglage_minuterie,
        QStringLiteral("30 ms (conseillé binaire) (durée entre 2 mesures de tension) "), true);
    menu_50ms = article(menu_reglage_minuterie, QStringLiteral("50 ms  (conseillé pour le morse)"));

    menu_vitesseemission = barre->addMenu(QStringLiteral("&vitesse d'émission"));
    menu_vit_emission09 = article(menu_vitesseemission, QStringLiteral("x 0,9"));
    menu_vit_emission0925 = article(menu_vitesseemission, QStringLiteral("x 0,925"));
    menu_vit_emission095 = article(menu_vitesseemission, QStringLiteral("x 0,95"));
    menu_vit_emission0975 = article(menu_vitesseemission, QStringLiteral("x 0,975"));
    menu_vit_emission1 = article(menu_vitesseemission, QStringLiteral("x 1 (par défaut)"), true);
    menu_vit_emission11 = article(menu_vitesseemission, QStringLiteral("x 1,1"));
    menu_vit_emission12 = article(menu_vitesseemission, QStringLiteral("x 1.2"));
    menu_vit_emission13 = article(menu_vitesseemission, QStringLiteral("x 1,3"));
    menu_vit_emission2 = article(menu_vitesseemission, QStringLiteral("x 2"));
    menu_vit_emission3 = article(menu_vitesseemission, QStringLiteral("x 3"));
    menu_vit_emission4 = article(menu_vitesseemission, QStringLiteral("x 4"));
    articlesvitesse_ = {menu_vit_emission09,   menu_vit_emission0925, menu_vit_emission095,
                        menu_vit_emission0975, menu_vit_emission1,    menu_vit_emission11,
                        menu_vit_emission12,   menu_vit_emission13,   menu_vit_emission2,
                        menu_vit_emission3,    menu_vit_emission4};

    menu_police_texterecep = barre->addMenu(QStringLiteral("&police textes "));
    menu_police12 = article(menu_police_texterecep, QStringLiteral("12"));
    menu_police16 = article(menu_police_texterecep, QStringLiteral("16 (par défaut)"), true);
    menu_police20 = article(menu_police_texterecep, QStringLiteral("20"));
    menu_police30 = article(menu_police_texterecep, QStringLiteral("30 "));
    articlespolice_ = {menu_police12, menu_police16, menu_police20, menu_police30};

    menu_typecode = barre->addMenu(QStringLiteral("&Type de codage"));
    menu_typemorse =
        article(menu_typecode, QStringLiteral("morse lent (minuterie à 50 ms conseillée)"));
    menu_typebinaire =
        article(menu_typecode, QStringLiteral("binaire lent (minuterie à 30 ms conseillée)"));
    menu_typemorserapide = menu_typecode->addMenu(QStringLiteral("morse rapide"));
    menu_morserap_17s =
        article(menu_typemorserapide, QStringLiteral("durée maximale du message : 15 s"));
    menu_morserap_34s =
        article(menu_typemorserapide, QStringLiteral("durée maxi du message : 30 s"));
    menu_decodage_fichiermorserap = menu_typemorserapide->addAction(
        QStringLiteral("ouverture d'un fichier de code morse enregistré *.rrr"));
    menu_autorise_enregistremorse = article(
        menu_typemorserapide, QStringLiteral("demande d'enregistrement  du code morse reçu"), true);
    menu_typebinairerapide = menu_typecode->addMenu(QStringLiteral("binaire rapide"));
    menu_binairerap_17s =
        article(menu_typebinairerapide, QStringLiteral("durée maximale du message : 15 s"));
    menu_binairerapide_33s =
        article(menu_typebinairerapide, QStringLiteral("durée maxi du message : 30 s"));
    menu_decodage_fichierbinrap = menu_typebinairerapide->addAction(
        QStringLiteral("ouverture d'un fichier de code binaire enregistré *.rrr"));
    menu_autorise_enregistrebin =
        article(menu_typebinairerapide,
                QStringLiteral("demande d'enregistrement du code binaire reçu"), true);
    // Closed, the two submenus say in a tooltip how to open them.
    menu_typecode->setToolTipsVisible(true);

    menu_apropos = barre->addAction(
        QStringLiteral("&A propos ...v2  (Programme pouvant être placé en haute priorité Win)"));
    menu_OrphyGTSII = barre->addAction(QStringLiteral("(Pour Orphy GTS)"));

    // The help beside the two boxes of information the form was drawn with; Alt+A is
    // taken, so Alt+I. F1 opens the guide wherever the focus is in the form.
    menu_aide = barre->addMenu(QStringLiteral("A&ide"));
    menu_guide = menu_aide->addAction(QStringLiteral("Guide d'utilisation"));
    menu_guide->setShortcut(QKeySequence::HelpContents);
    menu_guide->setShortcutContext(Qt::WindowShortcut);
    addAction(menu_guide);
    menu_messages = menu_aide->addAction(QStringLiteral("Ce que disent les messages du programme"));

    // Alt+A belongs to "A propos", as the form was drawn: this menu takes Alt+H.
    menu_affichage = barre->addMenu(QStringLiteral("Affic&hage"));
    menu_signallumineux = menu_affichage->addAction(QStringLiteral("Signal lumineux..."));
    menu_afficheenregistrement =
        menu_affichage->addAction(QStringLiteral("Afficher un enregistrement *.rrr..."));

    menu_options = barre->addMenu(QStringLiteral("&Options"));
    menu_decodagerobuste =
        article(menu_options, QStringLiteral("Décodage robuste (lumière bruitée)"));
    menu_telechargementblocs = article(
        menu_options, QStringLiteral("Téléchargement morse rapide par blocs (plus rapide)"));
    menu_codagesrapides = article(menu_options, QStringLiteral("Codages rapides"));
    menu_codagesrapides->setToolTip(
        QStringLiteral("Ouvre les sous-menus « morse rapide » et « binaire rapide » du menu "
                       "« Type de codage » : envoi et réception rapides, enregistrements *.rrr."));
    menu_grandepolice = article(menu_options, QStringLiteral("Grande police (projection)"));
    menu_grandepolice->setToolTip(
        QStringLiteral("Agrandit le texte des menus, des boîtes de message et des fenêtres "
                       "d'ouverture et d'enregistrement, pour un vidéoprojecteur."));
    menu_options->setToolTipsVisible(true);
    menu_options->addSeparator();
    menu_bancsimule = menu_options->addAction(
        QStringLiteral("Lancer un banc simulé (deux postes, sans interface)..."));
    menu_bancsimule->setToolTip(
        QStringLiteral("Ouvre deux autres fenêtres du programme, les postes 1 et 2, reliés par "
                       "le simulateur d'interface lumicom-sim : pour préparer une séance sans "
                       "matériel. Cette fenêtre-ci reste comme elle est."));
    menu_lumierebanc = menu_options->addAction(QStringLiteral("Lumière du banc..."));
    menu_lumierebanc->setToolTip(
        QStringLiteral("La lumière de la salle, le bruit, le scintillement des lampes et le "
                       "laser sur la photodiode de chaque poste du banc simulé ; la photodiode "
                       "éclairée ou dans le noir à la main."));
    menu_lumierebanc->setVisible(!dossierbanc().isEmpty());
    menu_mesureseuil =
        menu_options->addAction(QStringLiteral("Mesurer à nouveau la tension seuil"));
    menu_mesureseuil->setToolTip(
        QStringLiteral("La tension dans l'obscurité + 0,5 V, mesurée comme au démarrage : la "
                       "photodiode dans le noir, le laser de l'autre poste éteint."));

    // The fast codings are out of reach, as the program is designed, until the user opens
    // them ("Codages rapides", or --codages-rapides).
    fixecodagesrapides(false);
}

void Feuillelumivox1::relie() {
    const auto lie = [this](QAction* a, void (Feuillelumivox1::*gestionnaire)()) {
        connect(a, &QAction::triggered, this, gestionnaire);
    };
    connect(Btonenvoiemorse, &QPushButton::clicked, this,
            [this] { envoie(Btonenvoiemorse_Click); });
    connect(Btonenvoiebinaire, &QPushButton::clicked, this,
            [this] { envoie(Btonenvoiebinaire_Click); });
    connect(Btonenvoi_morserapide, &QPushButton::clicked, this,
            [this] { envoie(Btonenvoi_morserapide_Click); });
    connect(Btonenvoi_binrap, &QPushButton::clicked, this,
            [this] { envoie(Btonenvoi_binrap_Click); });
    connect(Btonefface, &QPushButton::clicked, this, &Feuillelumivox1::Btonefface_Click);
    connect(Btonquitter, &QPushButton::clicked, this, &Feuillelumivox1::Btonquitter_Click);
    lie(menu_e1, &Feuillelumivox1::menu_e1_Click);
    lie(menu_e2, &Feuillelumivox1::menu_e2_Click);
    lie(menu_e3, &Feuillelumivox1::menu_e3_Click);
    lie(menu_e4, &Feuillelumivox1::menu_e4_Click);
    lie(menu_quiestlauteur, &Feuillelumivox1::menu_quiestlauteur_Click);
    lie(menu_reponsezorvanek, &Feuillelumivox1::menu_reponsezorvanek_Click);
    lie(menu_messagelong, &Feuillelumivox1::menu_messagelong_Click);
    lie(menu_30ms, &Feuillelumivox1::menu_30ms_Click);
    lie(menu_50ms, &Feuillelumivox1::menu_50ms_Click);
    lie(menu_vit_emission09, &Feuillelumivox1::menu_vit_emission09_Click);
    lie(menu_vit_emission0925, &Feuillelumivox1::menu_vit_emission0925_Click);
    lie(menu_vit_emission095, &Feuillelumivox1::menu_vit_emission095_Click);
    lie(menu_vit_emission0975, &Feuillelumivox1::menu_vit_emission0975_Click);
    lie(menu_vit_emission1, &Feuillelumivox1::menu_vit_emission1_Click);
    lie(menu_vit_emission11, &Feuillelumivox1::menu_vit_emission11_Click);
    lie(menu_vit_emission12, &Feuillelumivox1::menu_vit_emission12_Click);
    lie(menu_vit_emission13, &Feuillelumivox1::menu_vit_emission13_Click);
    lie(menu_vit_emission2, &Feuillelumivox1::menu_vit_emission2_Click);
    lie(menu_vit_emission3, &Feuillelumivox1::menu_vit_emission3_Click);
    lie(menu_vit_emission4, &Feuillelumivox1::menu_vit_emission4_Click);
    lie(menu_police12, &Feuillelumivox1::menu_police12_Click);
    lie(menu_police16, &Feuillelumivox1::menu_police16_Click);
    lie(menu_police20, &Feuillelumivox1::menu_police20_Click);
    lie(menu_police30, &Feuillelumivox1::menu_police30_Click);
    lie(menu_typemorse, &Feuillelumivox1::menu_typemorse_Click);
    lie(menu_typebinaire, &Feuillelumivox1::menu_typebinaire_Click);
    lie(menu_morserap_17s, &Feuillelumivox1::menu_morserap_17s_Click);
    lie(menu_morserap_34s, &Feuillelumivox1::menu_morserap_34s_Click);
    lie(menu_binairerap_17s, &Feuillelumivox1::menu_binairerap_17s_Click);
    lie(menu_binairerapide_33s, &Feuillelumivox1::menu_binairerapide_33s_Click);
    lie(menu_autorise_enregistremorse, &Feuillelumivox1::menu_autorise_enregistremorse_Click);
    lie(menu_autorise_enregistrebin, &Feuillelumivox1::menu_autorise_enregistrebin_Click);
    lie(menu_decodage_fichiermorserap, &Feuillelumivox1::menu_decodage_fichiermorserap_Click);
    lie(menu_decodage_fichierbinrap, &Feuillelumivox1::menu_decodage_fichierbinrap_Click);
    lie(menu_apropos, &Feuillelumivox1::menu_apropos_Click);
    lie(menu_OrphyGTSII, &Feuillelumivox1::menu_OrphyGTSII_Click);
    lie(menu_signallumineux, &Feuillelumivox1::menu_signallumineux_Click);
    lie(menu_afficheenregistrement, &Feuillelumivox1::menu_afficheenregistrement_Click);
    lie(menu_decodagerobuste, &Feuillelumivox1::menu_decodagerobuste_Click);
    lie(menu_telechargementblocs, &Feuillelumivox1::menu_telechargementblocs_Click);
    lie(menu_codagesrapides, &Feuillelumivox1::menu_codagesrapides_Click);
    lie(menu_grandepolice, &Feuillelumivox1::menu_grandepolice_Click);
    lie(menu_bancsimule, &Feuillelumivox1::menu_bancsimule_Click);
    lie(menu_lumierebanc, &Feuillelumivox1::menu_lumierebanc_Click);
    lie(menu_mesureseuil, &Feuillelumivox1::menu_mesureseuil_Click);
    lie(menu_guide, &Feuillelumivox1::menu_guide_Click);
    lie(menu_messages, &Feuillelumivox1::menu_messages_Click);
}

void Feuillelumivox1::envoie(void (*routine)(Station&)) {
    station_.demande([&s = station_, routine, texte = texte(Controle::Texte1)] {
        // A second click that came before the first emission had greyed its button, or a
        // click as a reception began, sends nothing.
        if (!s.activite.isEmpty())
            return;
        s.ecran->saisie(Controle::Texte1, texte);
        routine(s);
    });
}

void Feuillelumivox1::metajourestimation() {
    if (Texte1->isReadOnly())
        return;
    const CopieEtat e = etatposte();
    const QString texte = Texte1->toPlainText();
    // Only a text the user typed or chose is measured, never a code the station received.
    if (texte.isEmpty() || e.typecodage.isEmpty() || !texte1utilisateur_) {
        estimation->clear();
        estimation->setToolTip(QString());
    } else {
        estimation->setText(ligneestimation(
            estimeemission(texte, e.typecodage, e.facteurvitesse, e.nbmesures), e.typecodage));
        // The whole line in plain text, wherever the pointer rests on it.
        QTextDocument document;
        document.setHtml(estimation->text());
        estimation->setToolTip(document.toPlainText());
    }
    ajustehauteurestimation();
}

// The status bar is as high as the lines of the estimate need at the window's width: a
// word-wrapped label alone would guess a height of its own.
void Feuillelumivox1::ajustehauteurestimation() {
    estimation->setMinimumHeight(0);
    estimation->setMaximumHeight(QWIDGETSIZE_MAX);
    // The label has the width of the form less the status bar's small margins (2 pixels
    // on each side with Qt's styles): 8 spare pixels never leave a line out.
    const int largeur = centralWidget()->width() - 8;
    estimation->setFixedHeight(
        std::max(estimation->fontMetrics().height(), estimation->heightForWidth(largeur)));
    // The progress of a download beside its bar, with the space between them.
    if (lignetelechargement) {
        const int reste = largeur - barretelechargement->width() - 8;
        lignetelechargement->setFixedHeight(std::max(lignetelechargement->fontMetrics().height(),
                                                     lignetelechargement->heightForWidth(reste)));
    }
}

bool Feuillelumivox1::eventFilter(QObject* objet, QEvent* evenement) {
    // A routine hands Texte1 back to the user: the estimate is for its text again.
    if (objet == Texte1 && evenement->type() == QEvent::ReadOnlyChange)
        metajourestimation();
    return QMainWindow::eventFilter(objet, evenement);
}

void Feuillelumivox1::closeEvent(QCloseEvent* evenement) {
    // Closing the window is quitting: a window closed while a routine still loops would
    // leave the program running unseen, with the port held.
    evenement->ignore();
    Btonquitter_Click();
}

void Feuillelumivox1::afficheavis(const QString& titre, const QString& avis) {
    QPointer<QMessageBox>& boite = avis_[titre];
    if (avis.isEmpty()) {
        if (boite)
            boite->close();
        return;
    }
    if (!boite) {
        boite = new QMessageBox(QMessageBox::Warning, titre, avis, QMessageBox::Ok, this);
        boite->setAttribute(Qt::WA_DeleteOnClose);
        boite->setModal(false);
    }
    boite->setText(avis);
    boite->show();
}

void Feuillelumivox1::affichenotepriorite(const QString& note) {
    if (!notepriorite_) {
        if (note.isEmpty())
            return;
        // Under the estimate, on lines of its own, in the colour of a warning.
        notepriorite_ = new QLabel(this);
        notepriorite_->setWordWrap(true);
        notepriorite_->setStyleSheet(QStringLiteral("color: #a04000;"));
        statusBar()->addPermanentWidget(notepriorite_, 2);
    }
    notepriorite_->setText(note);
    notepriorite_->setToolTip(note);
    notepriorite_->setVisible(!note.isEmpty());
}
