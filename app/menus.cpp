// Handlers of the main form's buttons and menus: they change the settings and the
// display; the routines that emit and receive read those settings.
#include "app/feuillelumivox1.h"

#include "app/aide.h"
#include "app/barremenus.h"
#include "app/fenetresignal.h"
#include "app/grandepolice.h"
#include "app/visionneuse.h"
#include "codes/predefinis.h"
#include "link/dialogues.h"
#include "link/legendes.h"
#include "link/station.h"
#include "lumicomversion.h"
#include "receive/mesureseuil.h"
#include "receive/reglages.h"
#include "recording/affichageresultat.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

void Feuillelumivox1::Btonefface_Click() {
    Texte1->clear();
}

void Feuillelumivox1::Btonquitter_Click() {
    station_.demandearret(0);
}

void Feuillelumivox1::menu_e1_Click() {
    Texte1->setPlainText(texteemissioncode(1));
}
void Feuillelumivox1::menu_e2_Click() {
    Texte1->setPlainText(texteemissioncode(2));
}
void Feuillelumivox1::menu_e3_Click() {
    Texte1->setPlainText(texteemissioncode(3));
}
void Feuillelumivox1::menu_e4_Click() {
    Texte1->setPlainText(texteemissioncode(4));
}

namespace {

void placetexteprepare(QPlainTextEdit* texte1, TextePrepare quoi, const QString& typecodage) {
    // In the fast codings the prepared texts are not offered: Texte1 stays as it is.
    if (const auto texte = texteprepare(quoi, typecodage))
        texte1->setPlainText(*texte);
}

} // namespace

void Feuillelumivox1::menu_quiestlauteur_Click() {
    placetexteprepare(Texte1, TextePrepare::QuiEstLAuteur, etatposte().typecodage);
}
void Feuillelumivox1::menu_reponsezorvanek_Click() {
    placetexteprepare(Texte1, TextePrepare::ReponseZorvanek, etatposte().typecodage);
}
void Feuillelumivox1::menu_messagelong_Click() {
    placetexteprepare(Texte1, TextePrepare::MessageLong, etatposte().typecodage);
}

void Feuillelumivox1::menu_30ms_Click() {
    menu_30ms->setChecked(true);
    menu_50ms->setChecked(false);
    station_.demandereglage([&s = station_] { s.Minuterie->setInterval(30); });
}

void Feuillelumivox1::menu_50ms_Click() {
    menu_50ms->setChecked(true);
    menu_30ms->setChecked(false);
    station_.demandereglage([&s = station_] { s.Minuterie->setInterval(50); });
}

void Feuillelumivox1::choisitvitesse(QAction* choisi, int article) {
    for (QAction* a : articlesvitesse_)
        a->setChecked(a == choisi);
    const ArticleVitesse& vitesse = articlesvitesse[size_t(article)];
    station_.demandereglage([&s = station_, &vitesse] { choisitvitesseposte(s, vitesse); });
    etatposte_.facteurvitesse = vitesse.facteurvitesse;
    if (vitesse.dureeparmesure > 0)
        etatposte_.dureeparmesure = vitesse.dureeparmesure;
    metajourestimation();
}

void Feuillelumivox1::menu_vit_emission09_Click() {
    choisitvitesse(menu_vit_emission09, 0);
}
void Feuillelumivox1::menu_vit_emission0925_Click() {
    choisitvitesse(menu_vit_emission0925, 1);
}
void Feuillelumivox1::menu_vit_emission095_Click() {
    choisitvitesse(menu_vit_emission095, 2);
}
void Feuillelumivox1::menu_vit_emission0975_Click() {
    choisitvitesse(menu_vit_emission0975, 3);
}
void Feuillelumivox1::menu_vit_emission1_Click() {
    choisitvitesse(menu_vit_emission1, 4);
}
void Feuillelumivox1::menu_vit_emission11_Click() {
    choisitvitesse(menu_vit_emission11, 5);
}
void Feuillelumivox1::menu_vit_emission12_Click() {
    choisitvitesse(menu_vit_emission12, 6);
}
void Feuillelumivox1::menu_vit_emission13_Click() {
    choisitvitesse(menu_vit_emission13, 7);
}
void Feuillelumivox1::menu_vit_emission2_Click() {
    choisitvitesse(menu_vit_emission2, 8);
}
void Feuillelumivox1::menu_vit_emission3_Click() {
    choisitvitesse(menu_vit_emission3, 9);
}
void Feuillelumivox1::menu_vit_emission4_Click() {
    choisitvitesse(menu_vit_emission4, 10);
}

void Feuillelumivox1::choisitpolice(QAction* choisi, int taille) {
    for (QAction* a : articlespolice_)
        a->setChecked(a == choisi);
    // The text boxes take the new size at once (the routines apply it again as they go).
    station_.demandereglage(
        [&s = station_, taille] { s.etat.taillepolice = static_cast<qint16>(taille); });
    etatposte_.taillepolice = static_cast<qint16>(taille);
    appliquetaillepolice(taille);
}

void Feuillelumivox1::menu_police12_Click() {
    choisitpolice(menu_police12, 12);
}
void Feuillelumivox1::menu_police16_Click() {
    choisitpolice(menu_police16, 16);
}
void Feuillelumivox1::menu_police20_Click() {
    choisitpolice(menu_police20, 20);
}
void Feuillelumivox1::menu_police30_Click() {
    choisitpolice(menu_police30, 30);
}

// The check marks are the form's; the coding, the buttons and the captions are the
// station's, which sets them when it takes the choice (after the reception in progress, if
// one is).
void Feuillelumivox1::choisitcodagelent(bool morse) {
    menu_typemorse->setChecked(morse);
    menu_typebinaire->setChecked(!morse);
    menu_30ms->setEnabled(true);
    menu_50ms->setEnabled(true);
    menu_50ms->setChecked(morse);
    menu_30ms->setChecked(!morse);
    for (QAction* a :
         {menu_morserap_17s, menu_morserap_34s, menu_binairerap_17s, menu_binairerapide_33s})
        a->setChecked(false);
    station_.demandereglage([&s = station_, morse] { choisitcodagelentposte(s, morse); });
}

void Feuillelumivox1::menu_typemorse_Click() {
    choisitcodagelent(true);
}
void Feuillelumivox1::menu_typebinaire_Click() {
    choisitcodagelent(false);
}

void Feuillelumivox1::choisitcodagerapide(bool morse, bool long_) {
    station_.demandereglage(
        [&s = station_, morse, long_] { choisitcodagerapideposte(s, morse, long_); });
    menu_typemorse->setChecked(false);
    menu_typebinaire->setChecked(false);
    menu_30ms->setChecked(false);
    menu_50ms->setChecked(false);
    menu_30ms->setEnabled(false);
    menu_50ms->setEnabled(false);
    QAction* choisi = morse ? (long_ ? menu_morserap_34s : menu_morserap_17s)
                            : (long_ ? menu_binairerapide_33s : menu_binairerap_17s);
    for (QAction* a :
         {menu_morserap_17s, menu_morserap_34s, menu_binairerap_17s, menu_binairerapide_33s})
        a->setChecked(a == choisi);
}

void Feuillelumivox1::menu_morserap_17s_Click() {
    choisitcodagerapide(true, false);
}
void Feuillelumivox1::menu_morserap_34s_Click() {
    choisitcodagerapide(true, true);
}
void Feuillelumivox1::menu_binairerap_17s_Click() {
    choisitcodagerapide(false, false);
}
void Feuillelumivox1::menu_binairerapide_33s_Click() {
    choisitcodagerapide(false, true);
}

// The check mark and the flag go together: an unchecked item becomes checked with
// "oui", a checked one unchecked with "non". The flag is the state of record, since a
// menu item triggered from the menu bar has already turned its own mark over: the form's
// copy at once, the station's when it takes the request.
void Feuillelumivox1::basculeautorisation(QAction* article, QString CopieEtat::*copie,
                                          QString EtatPartage::*drapeau) {
    const bool autorise = etatposte().*copie != QStringLiteral("oui");
    article->setChecked(autorise);
    const QString valeur = autorise ? QStringLiteral("oui") : QStringLiteral("non");
    etatposte_.*copie = valeur;
    station_.demandereglage([&s = station_, drapeau, valeur] {
        s.etat.*drapeau = valeur;
        s.plateforme.cede();
    });
}

void Feuillelumivox1::menu_autorise_enregistremorse_Click() {
    basculeautorisation(menu_autorise_enregistremorse, &CopieEtat::enregmorseautorise,
                        &EtatPartage::enregmorseautorise);
}

void Feuillelumivox1::menu_autorise_enregistrebin_Click() {
    basculeautorisation(menu_autorise_enregistrebin, &CopieEtat::enregbinautorise,
                        &EtatPartage::enregbinautorise);
}

void Feuillelumivox1::autorisecodagesrapides() {
    fixecodagesrapides(true);
}

void Feuillelumivox1::fixecodagesrapides(bool ouverts) {
    const QString comment =
        ouverts ? QString()
                : QStringLiteral("Grisé : cocher « Codages rapides » dans le menu « Options » pour "
                                 "l'ouvrir (ou lancer le programme par « lumicom "
                                 "--codages-rapides »).");
    for (QMenu* sousmenu : {menu_typemorserapide, menu_typebinairerapide}) {
        sousmenu->menuAction()->setEnabled(ouverts);
        sousmenu->menuAction()->setToolTip(comment);
    }
    menu_codagesrapides->setChecked(ouverts);
}

bool Feuillelumivox1::codagesrapidesouverts() const {
    return menu_typemorserapide->menuAction()->isEnabled();
}

// The submenus are the state of record, as the shared state is for the other options: a
// checkable item triggered from the menu bar has already turned its own mark over.
void Feuillelumivox1::menu_codagesrapides_Click() {
    const bool ouverts = !codagesrapidesouverts();
    fixecodagesrapides(ouverts);
    emit codagesrapideschoisis(ouverts);
}

// The application's font is the state of record; the menu item has already turned its
// own mark over when it is triggered from the menu bar.
void Feuillelumivox1::menu_grandepolice_Click() {
    const bool grande = !grandepoliceappliquee();
    fixegrandepolice(grande);
    emit grandepolicechoisie(grande);
}

void Feuillelumivox1::fixegrandepolice(bool grande) {
    if (grande != grandepoliceappliquee())
        appliquegrandepolice(grande);
    // The menu bar has the application's font rather than the form's.
    barremenus->setFont(QApplication::font("QMenuBar"));
    menu_grandepolice->setChecked(grande);
}

void Feuillelumivox1::menu_decodage_fichiermorserap_Click() {
    station_.demande([&s = station_] { s.etat.typefichier = QStringLiteral("mr"); });
    emit ouverturefichierdemandee(QStringLiteral("Ouverture fichier morse *.rrr"));
}

void Feuillelumivox1::menu_decodage_fichierbinrap_Click() {
    station_.demande([&s = station_] { s.etat.typefichier = QStringLiteral("br"); });
    emit ouverturefichierdemandee(QStringLiteral("Ouverture fichier binaire *.rrr"));
}

void Feuillelumivox1::menu_apropos_Click() {
    dialogues_.boiteMessage(QStringLiteral("lumicom " LUMICOM_VERSION
                                           ", communication par la lumière entre deux "
                                           "ordinateurs : l'équipe lumicom, décembre 2026\n"
                                           "Remerciements à l'équipe technique\n"
                                           "(Programme pour Orphy GTS)"),
                            Dialogues::Boutons::Ok, QStringLiteral("A propos ..."));
}

void Feuillelumivox1::menu_OrphyGTSII_Click() {
    dialogues_.boiteMessage(
        QStringLiteral("Résolution d'écran optimale : 600 x 800\n"
                       "Le fonctionnement en morse lent ne nécessite normalement pas la mise en "
                       "priorité Windows\n"
                       "Le codage binaire lent peut nécessiter la mise en priorité Windows\n"
                       " si les ordinateurs sont en réseau ou si plusieurs programmes sont en "
                       "mémoire\n"
                       " (Programme pour Orphy GTS)"),
        Dialogues::Boutons::Ok, QStringLiteral("Conseils pratiques"));
}

// The options are off by default; the settings are their state of record, as for the
// recording permissions.
void Feuillelumivox1::menu_decodagerobuste_Click() {
    const CopieEtat e = etatposte();
    fixeoptions(!e.decodagerobuste, e.telechargementparblocs);
    emit optionschangees();
}

void Feuillelumivox1::menu_telechargementblocs_Click() {
    const CopieEtat e = etatposte();
    fixeoptions(e.decodagerobuste, !e.telechargementparblocs);
    emit optionschangees();
}

void Feuillelumivox1::fixeoptions(bool robuste, bool blocs) {
    station_.demandereglage([&s = station_, robuste, blocs] {
        s.etat.decodagerobuste = robuste;
        s.etat.telechargementparblocs = blocs;
    });
    etatposte_.decodagerobuste = robuste;
    etatposte_.telechargementparblocs = blocs;
    afficheoptions();
}

void Feuillelumivox1::afficheoptions() {
    const CopieEtat e = etatposte();
    menu_decodagerobuste->setChecked(e.decodagerobuste);
    menu_telechargementblocs->setChecked(e.telechargementparblocs);
}

void Feuillelumivox1::menu_signallumineux_Click() {
    if (!fenetresignal_) {
        fenetresignal_ = new FenetreSignal(station_, this);
        fenetresignal_->setWindowFlag(Qt::Window);
    }
    fenetresignal_->show();
    fenetresignal_->raise();
}

void Feuillelumivox1::menu_afficheenregistrement_Click() {
    const QString chemin = QFileDialog::getOpenFileName(
        this, QStringLiteral("Afficher un enregistrement *.rrr"),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        QStringLiteral("Enregistrements (*.rrr *.RRR);;Tous les fichiers (*)"));
    if (chemin.isEmpty())
        return;
    auto* visionneuse = new Visionneuse(reglesdecodage(etatposte()), this);
    visionneuse->setWindowFlag(Qt::Window);
    visionneuse->setAttribute(Qt::WA_DeleteOnClose);
    // The recording tells its coding; one that shows no opening of either is decoded in the
    // station's coding.
    visionneuse->fixecodage(etatposte().typecodage.startsWith(u'm'));
    QString erreur;
    if (!visionneuse->ouvre(chemin, &erreur)) {
        delete visionneuse;
        dialogues_.boiteMessage(erreur, Dialogues::Boutons::Ok,
                                QStringLiteral("Afficher un enregistrement"));
        return;
    }
    placesurecran(visionneuse, this);
    visionneuse->show();
}

namespace {

// A program of lumicom: beside this one first (installed, they are all in /usr/bin; in a
// build directory, in the folders given), then in the folders of the commands (PATH).
QString trouveprogramme(const QString& nom, const QStringList& dossiers) {
    const QString pres = QStandardPaths::findExecutable(nom, dossiers);
    return pres.isEmpty() ? QStandardPaths::findExecutable(nom) : pres;
}

} // namespace

// The measurement runs on the station, which refuses it during an emission or a reception.
void Feuillelumivox1::menu_mesureseuil_Click() {
    station_.demande([&s = station_] { mesureanouveauseuil(s); });
}

// The bench is started apart from this program, which goes on as it was: the launcher
// opens two more windows of this same program, stations 1 and 2 over the simulator, and
// stops the simulator when both are closed.
void Feuillelumivox1::menu_bancsimule_Click() {
    const QString titre = QStringLiteral("Banc simulé");
    const QString dossier = QCoreApplication::applicationDirPath();
    const QString lanceur = trouveprogramme(QStringLiteral("lumicom-banc"), {dossier});
    if (lanceur.isEmpty()) {
        dialogues_.boiteMessage(
            QStringLiteral("Le lanceur du banc simulé, lumicom-banc, est introuvable : ni à côté "
                           "de ce programme (%1), ni parmi les commandes de l'ordinateur. "
                           "Installer le paquet lumicom, ou lancer ./run dans le dossier des "
                           "sources.")
                .arg(QDir::toNativeSeparators(dossier)),
            Dialogues::Boutons::Ok, titre);
        return;
    }
    QStringList arguments{QStringLiteral("--lumicom"), QCoreApplication::applicationFilePath()};
    // In a build directory the simulator is in sim/, beside app/.
    const QString simulateur = trouveprogramme(
        QStringLiteral("lumicom-sim"), {dossier, QDir(dossier).filePath(QStringLiteral("../sim"))});
    if (!simulateur.isEmpty())
        arguments << QStringLiteral("--simulateur") << QDir::cleanPath(simulateur);
    // The bench's windows open the fast codings when this one has them open.
    if (codagesrapidesouverts())
        arguments << QStringLiteral("--codages-rapides");
    if (!QProcess::startDetached(lanceur, arguments))
        dialogues_.boiteMessage(
            QStringLiteral("Le banc simulé n'a pas pu être lancé : « %1 » ne s'exécute pas.")
                .arg(QDir::toNativeSeparators(lanceur)),
            Dialogues::Boutons::Ok, titre);
}

FenetreAide* Feuillelumivox1::ouvreaide(const QString& ancre) {
    if (!fenetreaide_) {
        fenetreaide_ = new FenetreAide(this);
        fenetreaide_->setWindowFlag(Qt::Window);
    }
    fenetreaide_->montre(ancre);
    fenetreaide_->show();
    fenetreaide_->raise();
    fenetreaide_->activateWindow();
    return fenetreaide_;
}

void Feuillelumivox1::menu_guide_Click() {
    ouvreaide();
}

void Feuillelumivox1::menu_messages_Click() {
    ouvreaide(QStringLiteral("messages"));
}
