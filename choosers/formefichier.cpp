#include "choosers/formefichier.h"

#include "choosers/nomfichier.h"
#include "choosers/polices.h"
#include "choosers/twips.h"
#include "link/dialogues.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace {

// The directory of Répertoire1 that an entry stands for.
constexpr int roleChemin = Qt::UserRole;

bool estentree(const QKeyEvent* touche) {
    return touche->key() == Qt::Key_Return || touche->key() == Qt::Key_Enter;
}

} // namespace

FormeFichier::FormeFichier(const Dessin& dessin, Dialogues& dialogues,
                           std::vector<Lecteur> lecteurs, const QString& dossier, QWidget* parent)
    : QDialog(parent), dialogues_(dialogues), lecteurs_(std::move(lecteurs)) {
    setWindowTitle(dessin.legende);
    // Drawn larger, fonts and controls, with the option of the large font.
    const double a = agrandissementchoisisseurs();
    setFont(policeformulaire(pointsChoisisseurs * a));
    setMinimumSize(pixelsdetwips(dessin.client.width(), a),
                   pixelsdetwips(dessin.client.height(), a));
    resize(minimumSize());

    Etiquette2 = new QLabel(dessin.invite, this);
    Etiquette2->setFont(policeformulaire(12 * a));
    Etiquette2->setWordWrap(true);
    Etiquette2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Etiquette1 = new QLabel(QStringLiteral("Répertoire:"), this);
    Texte1 = new QLineEdit(this);
    label_rep = new QLabel(this);
    Fichier1 = new QListWidget(this);
    Repertoire1 = new QListWidget(this);
    Repertoire1->setObjectName(QStringLiteral("Répertoire1"));
    Lecteur1 = new QComboBox(this);
    Commande1 = new QPushButton(QStringLiteral("Ok"), this);
    Commande2 = new QPushButton(QStringLiteral("Annuler"), this);
    Etiquette3 = new QLabel(this);
    Etiquette3->setWordWrap(true);
    Etiquette3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Etiquette3->setTextFormat(Qt::PlainText);
    Commande1->setAutoDefault(false);
    Commande2->setAutoDefault(false);
    Commande1->setDefault(true);
    Commande1->setEnabled(false);
    placeentwips(Etiquette2, dessin.etiquette2, a);
    placeentwips(Etiquette1, dessin.etiquette1, a);
    placeentwips(Texte1, dessin.texte1, a);
    placeentwips(label_rep, dessin.label_rep, a);
    placeentwips(Fichier1, dessin.fichier1, a);
    placeentwips(Repertoire1, dessin.repertoire1, a);
    placeentwips(Lecteur1, dessin.lecteur1, a);
    placeentwips(Commande1, dessin.commande1, a);
    placeentwips(Commande2, dessin.commande2, a);
    placeentwips(Etiquette3, dessin.etiquette3, a);

    // The lists open on the directory asked for, or on the nearest one that can be read.
    for (const Lecteur& l : lecteurs_)
        Lecteur1->addItem(l.libelle);
    QString depart = QDir::cleanPath(QDir(dossier).absolutePath());
    while (!QFileInfo(depart).isDir() || !QDir(depart).isReadable()) {
        const QString parent = QFileInfo(depart).path();
        if (parent == depart)
            break;
        depart = parent;
    }
    Lecteur1->setCurrentIndex(lecteurs_.empty() ? -1 : lecteurde(lecteurs_, depart));
    repertoire_ = depart;
    repertoirefichiers_ = depart;
    motiffichier = QStringLiteral("*.rrr");
    motif_ = motiffichier;
    remplitrepertoire1();
    remplitfichier1();

    connect(Lecteur1, &QComboBox::currentIndexChanged, this, &FormeFichier::Lecteur1_Change);
    connect(Texte1, &QLineEdit::textChanged, this, &FormeFichier::Texte1_Change);
    connect(Fichier1, &QListWidget::itemClicked, this, &FormeFichier::Fichier1_Click);
    connect(Fichier1, &QListWidget::currentRowChanged, this, [this](int ligne) {
        if (ligne >= 0)
            Fichier1_Click();
    });
    connect(Fichier1, &QListWidget::itemDoubleClicked, this, &FormeFichier::Fichier1_DblClick);
    connect(Repertoire1, &QListWidget::itemDoubleClicked, this,
            &FormeFichier::entrerepertoiremarque);
    connect(Commande1, &QPushButton::clicked, this, [this] { Commande1_Click(); });
    connect(Commande2, &QPushButton::clicked, this, &FormeFichier::Commande2_Click);
    Lecteur1->installEventFilter(this);
    Repertoire1->installEventFilter(this);

    Texte1->setText(motiffichier);
    Form_Load();
}

QString FormeFichier::nomchoisi() const {
    return Texte1->text();
}

QString FormeFichier::remarquenom(const QString&) const {
    return {};
}

QString FormeFichier::cheminchoisi() const {
    return chemincomplet(QDir::toNativeSeparators(repertoirefichiers_), nomchoisi(),
                         QDir::separator());
}

int FormeFichier::largeur(const QString& texte) const {
    return QFontMetrics(font()).horizontalAdvance(texte);
}

void FormeFichier::Form_Load() {
    lecteurinitial = Lecteur1->currentText();
}

void FormeFichier::Form_Resize() {
    // The folder shortened again to the new width; the name typed stays, and so does the
    // pattern it gives the file list.
    motiffichier = QStringLiteral("*.rrr");
    afficherepertoire();
}

void FormeFichier::afficherepertoire() {
    label_rep->setText(raccourcitchemin(
        QDir::toNativeSeparators(repertoire_), label_rep->width(),
        [this](const QString& t) { return largeur(t); }, QDir::separator()));
}

void FormeFichier::Lecteur1_Change() {
    const int choisi = Lecteur1->currentIndex();
    if (choisi < 0 || choisi >= static_cast<int>(lecteurs_.size()))
        return;
    const Lecteur& lecteur = lecteurs_[size_t(choisi)];
    if (!lecteurlisible(lecteur) || !fixerepertoire(lecteur.racine))
        disqueindisponible();
}

void FormeFichier::disqueindisponible() {
    dialogues_.boiteMessage(QStringLiteral("disque indisponible ! "), Dialogues::Boutons::Ok,
                            QCoreApplication::applicationName());
    // Back to the drive of the loading, which moves the directory list there in turn
    // (nothing happens when that drive is the one that failed).
    Lecteur1->setCurrentText(lecteurinitial);
}

bool FormeFichier::fixerepertoire(const QString& chemin) {
    const QString propre = QDir::cleanPath(QDir(chemin).absolutePath());
    const QFileInfo info(propre);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        return false;
    repertoire_ = propre;
    remplitrepertoire1();
    Repertoire1_Change();
    return true;
}

void FormeFichier::Repertoire1_Change() {
    repertoirefichiers_ = repertoire_;
    remplitfichier1();
    afficherepertoire();
}

void FormeFichier::Texte1_Change() {
    const QString t = Texte1->text();
    const bool valide = nomvalide(t);
    const QString motif = valide && contientjoker(t) ? t : motiffichier;
    Commande1->setEnabled(valide && !contientjoker(t));
    if (motif != motif_) {
        motif_ = motif;
        remplitfichier1();
    }
    afficheraisonok();
}

void FormeFichier::afficheraisonok() {
    const QString t = Texte1->text();
    const QString raison = raisonnomrefuse(t);
    QPalette couleurs = palette();
    if (!raison.isEmpty())
        couleurs.setColor(QPalette::WindowText, QColor(160, 0, 0));
    Etiquette3->setPalette(couleurs);
    Etiquette3->setText(raison.isEmpty() ? remarquenom(t) : raison);
}

void FormeFichier::Fichier1_Click() {
    if (const QListWidgetItem* choisi = Fichier1->currentItem())
        Texte1->setText(choisi->text());
}

void FormeFichier::Fichier1_DblClick() {
    Fichier1_Click();
    Commande1_Click();
}

void FormeFichier::Commande2_Click() {
    if (!occupe_)
        ferme();
}

void FormeFichier::ferme() {
    if (ferme_)
        return;
    ferme_ = true;
    hide();
    emit fermee(repertoire_);
}

void FormeFichier::executeok(const std::function<void()>& action) {
    if (occupe_ || ferme_)
        return;
    occupe_ = true;
    setEnabled(false);
    action();
    setEnabled(true);
    occupe_ = false;
}

void FormeFichier::resizeEvent(QResizeEvent* evenement) {
    QDialog::resizeEvent(evenement);
    Form_Resize();
}

void FormeFichier::closeEvent(QCloseEvent* evenement) {
    // The window's own close box is Annuler, except while Ok runs.
    evenement->ignore();
    Commande2_Click();
}

void FormeFichier::reject() {
    Commande2_Click();
}

bool FormeFichier::eventFilter(QObject* objet, QEvent* evenement) {
    if (objet != Lecteur1 && objet != Repertoire1)
        return QDialog::eventFilter(objet, evenement);
    switch (evenement->type()) {
    case QEvent::FocusIn:
        // Enter in the drive or directory list does not mean Ok.
        Commande1->setDefault(false);
        break;
    case QEvent::FocusOut:
        Commande1->setDefault(true);
        break;
    case QEvent::KeyPress: {
        const auto* touche = static_cast<QKeyEvent*>(evenement);
        if (objet == Repertoire1) {
            if (estentree(touche)) {
                entrerepertoiremarque();
                return true;
            }
            break;
        }
        // In the drive list every character key is discarded; Enter first makes the
        // highlighted drive the current one (it already is, the list being closed).
        if (estentree(touche) || !touche->text().isEmpty())
            return true;
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(objet, evenement);
}

void FormeFichier::entrerepertoiremarque() {
    const QListWidgetItem* marque = Repertoire1->currentItem();
    if (!marque)
        return;
    const QString chemin = marque->data(roleChemin).toString();
    if (chemin == repertoire_)
        return;
    if (!fixerepertoire(chemin))
        dialogues_.boiteMessage(QStringLiteral("Le dossier « %1 » ne peut pas être ouvert.")
                                    .arg(QDir::toNativeSeparators(chemin)),
                                Dialogues::Boutons::Ok, QCoreApplication::applicationName());
}

void FormeFichier::remplitrepertoire1() {
    Repertoire1->clear();
    // The path from the root down to the current directory, each level indented further,
    // then the directories it holds.
    QStringList niveaux;
    for (QString c = repertoire_;; c = QFileInfo(c).path()) {
        niveaux.prepend(c);
        if (QFileInfo(c).path() == c || QDir(c).isRoot())
            break;
    }
    const QIcon ouvert = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon ferme = style()->standardIcon(QStyle::SP_DirClosedIcon);
    int niveau = 0;
    for (const QString& c : niveaux) {
        const QString nom =
            QDir(c).isRoot() ? QDir::toNativeSeparators(c) : QFileInfo(c).fileName();
        auto* entree = new QListWidgetItem(ouvert, QString(2 * niveau, u' ') + nom, Repertoire1);
        entree->setData(roleChemin, c);
        ++niveau;
    }
    Repertoire1->setCurrentRow(Repertoire1->count() - 1);
    const QDir courant(repertoire_);
    QStringList dossiers = courant.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(dossiers.begin(), dossiers.end(), nomavant);
    for (const QString& nom : dossiers) {
        auto* entree = new QListWidgetItem(ferme, QString(2 * niveau, u' ') + nom, Repertoire1);
        entree->setData(roleChemin, courant.filePath(nom));
    }
}

void FormeFichier::remplitfichier1() {
    const QSignalBlocker silence(Fichier1);
    Fichier1->clear();
    QStringList fichiers =
        QDir(repertoirefichiers_).entryList({motif_}, QDir::Files, QDir::Unsorted);
    std::sort(fichiers.begin(), fichiers.end(), nomavant);
    Fichier1->addItems(fichiers);
}
