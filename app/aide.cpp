#include "app/aide.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int roleancre = Qt::UserRole;

// The text as the search compares it: each character lower case and without its accent,
// one for one, so that a position in it is a position in the document ("telechargement"
// finds "téléchargement").
QString pourlarecherche(const QString& texte) {
    QString simple = texte;
    for (QChar& c : simple) {
        if (c.decompositionTag() == QChar::Canonical)
            c = c.decomposition().at(0);
        c = c.toCaseFolded();
    }
    return simple;
}

// The anchor a heading carries, empty when it has none.
QString ancredutitre(const QTextBlock& titre) {
    for (auto morceau = titre.begin(); !morceau.atEnd(); ++morceau) {
        const QStringList noms = morceau.fragment().charFormat().anchorNames();
        if (!noms.isEmpty())
            return noms.first();
    }
    return {};
}

} // namespace

FenetreAide::FenetreAide(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Aide de lumicom — Guide d'utilisation"));

    precedent_ = new QToolButton(this);
    precedent_->setText(QStringLiteral("◀ Précédent"));
    precedent_->setToolTip(QStringLiteral("Revenir à la partie lue avant (Alt+Gauche)"));
    precedent_->setShortcut(QKeySequence::Back);
    suivant_ = new QToolButton(this);
    suivant_->setText(QStringLiteral("Suivant ▶"));
    suivant_->setToolTip(QStringLiteral("Retourner à la partie quittée (Alt+Droite)"));
    suivant_->setShortcut(QKeySequence::Forward);
    auto* debut = new QToolButton(this);
    debut->setText(QStringLiteral("Début du guide"));
    recherche_ = new QLineEdit(this);
    recherche_->setPlaceholderText(
        QStringLiteral("Rechercher dans le guide (Entrée ou F3 : occurrence suivante)"));
    recherche_->setClearButtonEnabled(true);
    recherche_->setMinimumWidth(300);
    avis_ = new QLabel(this);

    texte_ = new QTextBrowser(this);
    sommaire_ = new QTreeWidget(this);
    sommaire_->setHeaderLabel(QStringLiteral("Sommaire"));
    auto* partage = new QSplitter(this);
    partage->addWidget(sommaire_);
    partage->addWidget(texte_);
    partage->setStretchFactor(1, 1);
    partage->setSizes({340, 640});

    auto* outils = new QHBoxLayout;
    outils->addWidget(precedent_);
    outils->addWidget(suivant_);
    outils->addWidget(debut);
    outils->addStretch();
    outils->addWidget(recherche_);
    auto* disposition = new QVBoxLayout(this);
    disposition->addLayout(outils);
    disposition->addWidget(partage, 1);
    disposition->addWidget(avis_);

    precedent_->setEnabled(false);
    suivant_->setEnabled(false);
    connect(texte_, &QTextBrowser::backwardAvailable, precedent_, &QWidget::setEnabled);
    connect(texte_, &QTextBrowser::forwardAvailable, suivant_, &QWidget::setEnabled);
    connect(texte_, &QTextBrowser::sourceChanged, this, &FenetreAide::suitsource);
    connect(precedent_, &QToolButton::clicked, texte_, &QTextBrowser::backward);
    connect(suivant_, &QToolButton::clicked, texte_, &QTextBrowser::forward);
    connect(debut, &QToolButton::clicked, this, [this] { montre(QString()); });
    const auto suitsommaire = [this](QTreeWidgetItem* article) {
        montre(article->data(0, roleancre).toString());
    };
    connect(sommaire_, &QTreeWidget::itemClicked, this, suitsommaire);
    connect(sommaire_, &QTreeWidget::itemActivated, this, suitsommaire);
    connect(recherche_, &QLineEdit::returnPressed, this, [this] { cherche(recherche_->text()); });
    connect(recherche_, &QLineEdit::textChanged, avis_, &QLabel::clear);
    auto* chercher = new QAction(this);
    chercher->setShortcut(QKeySequence::Find);
    connect(chercher, &QAction::triggered, this, [this] {
        recherche_->setFocus();
        recherche_->selectAll();
    });
    auto* suivante = new QAction(this);
    suivante->setShortcut(QKeySequence::FindNext);
    connect(suivante, &QAction::triggered, this, [this] { cherche(recherche_->text()); });
    addActions({chercher, suivante});

    texte_->setSource(adresseguide);
    construitsommaire();

    // Large enough to read, never larger than the screen it opens on.
    QSize taille(1040, 720);
    if (const QScreen* ecran = parent ? parent->screen() : screen())
        taille = taille.boundedTo(ecran->availableGeometry().size() * 9 / 10);
    resize(taille);
}

void FenetreAide::construitsommaire() {
    sommaire_->clear();
    QTreeWidgetItem* partie = nullptr;
    for (QTextBlock bloc = texte_->document()->begin(); bloc.isValid(); bloc = bloc.next()) {
        const int niveau = bloc.blockFormat().headingLevel();
        if (niveau != 2 && niveau != 3)
            continue;
        auto* article = niveau == 2 || partie == nullptr ? new QTreeWidgetItem(sommaire_)
                                                         : new QTreeWidgetItem(partie);
        if (niveau == 2)
            partie = article;
        article->setText(0, bloc.text().simplified());
        article->setData(0, roleancre, ancredutitre(bloc));
    }
    sommaire_->expandAll();
}

QStringList FenetreAide::ancres() const {
    QStringList ancres;
    for (QTreeWidgetItemIterator article(sommaire_); *article; ++article)
        ancres << (*article)->data(0, roleancre).toString();
    return ancres;
}

void FenetreAide::montre(const QString& ancre) {
    QUrl adresse = adresseguide;
    if (!ancre.isEmpty())
        adresse.setFragment(ancre);
    texte_->setSource(adresse);
}

void FenetreAide::suitsource(const QUrl& source) {
    const QString ancre = source.fragment();
    for (QTreeWidgetItemIterator article(sommaire_); *article; ++article) {
        if ((*article)->data(0, roleancre).toString() == ancre && !ancre.isEmpty()) {
            sommaire_->setCurrentItem(*article);
            return;
        }
    }
    sommaire_->setCurrentItem(nullptr);
}

bool FenetreAide::cherche(const QString& texte) {
    const QString motif = pourlarecherche(texte.trimmed());
    if (motif.isEmpty()) {
        avis_->clear();
        return false;
    }
    const QString contenu = pourlarecherche(texte_->document()->toRawText());
    const QTextCursor actuel = texte_->textCursor();
    qsizetype position = contenu.indexOf(motif, actuel.selectionEnd());
    avis_->clear();
    if (position < 0) {
        position = contenu.indexOf(motif);
        if (position >= 0)
            avis_->setText(QStringLiteral("Recherche reprise au début du guide."));
    }
    if (position < 0) {
        avis_->setText(QStringLiteral("« %1 » ne se trouve pas dans le guide.").arg(texte));
        return false;
    }
    QTextCursor trouve(texte_->document());
    trouve.setPosition(static_cast<int>(position));
    trouve.setPosition(static_cast<int>(position + motif.size()), QTextCursor::KeepAnchor);
    texte_->setTextCursor(trouve);
    texte_->ensureCursorVisible();
    return true;
}
