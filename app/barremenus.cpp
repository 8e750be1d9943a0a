#include "app/barremenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>
#include <QVBoxLayout>

BarreMenus::BarreMenus(QWidget* parent) : QWidget(parent), disposition_(new QVBoxLayout(this)) {
    disposition_->setContentsMargins(0, 0, 0, 0);
    disposition_->setSpacing(0);
}

QMenu* BarreMenus::addMenu(const QString& titre) {
    auto* menu = new QMenu(titre, this);
    articles_ << menu->menuAction();
    largeurrepartie_ = -1;
    repartit();
    return menu;
}

QAction* BarreMenus::addAction(const QString& texte) {
    auto* action = new QAction(texte, this);
    articles_ << action;
    largeurrepartie_ = -1;
    repartit();
    return action;
}

void BarreMenus::resizeEvent(QResizeEvent* evenement) {
    QWidget::resizeEvent(evenement);
    repartit();
}

void BarreMenus::changeEvent(QEvent* evenement) {
    QWidget::changeEvent(evenement);
    if (evenement->type() == QEvent::FontChange) {
        largeurrepartie_ = -1;
        repartit();
    }
}

// The width each menu takes in a bar, as the style draws it, with the margin before the
// first one and the space between two.
BarreMenus::Largeurs BarreMenus::largeurs() {
    QMenuBar mesure;
    mesure.setFont(font());
    mesure.resize(1 << 20, 40);
    for (QAction* a : articles_)
        mesure.addAction(a);
    Largeurs l;
    for (QAction* a : articles_)
        l.menus << mesure.actionGeometry(a).width();
    if (!articles_.isEmpty())
        l.marge = mesure.actionGeometry(articles_.first()).left();
    if (articles_.size() > 1)
        l.ecart = mesure.actionGeometry(articles_[1]).left() -
                  mesure.actionGeometry(articles_[0]).right() - 1;
    for (QAction* a : articles_)
        mesure.removeAction(a);
    return l;
}

void BarreMenus::repartit() {
    const int largeur = width();
    if (largeur == largeurrepartie_ || largeur <= 0)
        return;
    largeurrepartie_ = largeur;

    // Rows filled in order, a new row where the next menu, the space before it and the
    // margins at both ends would not fit.
    const Largeurs l = largeurs();
    QList<QList<QAction*>> lignes{{}};
    int occupe = 0;
    for (int i = 0; i < articles_.size(); ++i) {
        const int avant = lignes.last().isEmpty() ? 0 : l.ecart;
        if (2 * l.marge + occupe + avant + l.menus[i] > largeur && !lignes.last().isEmpty()) {
            lignes.append(QList<QAction*>());
            occupe = 0;
        } else {
            occupe += avant;
        }
        lignes.last() << articles_[i];
        occupe += l.menus[i];
    }

    while (rangees_.size() < lignes.size()) {
        auto* barre = new QMenuBar(this);
        disposition_->addWidget(barre);
        rangees_ << barre;
    }
    while (rangees_.size() > lignes.size())
        delete rangees_.takeLast();
    for (int r = 0; r < lignes.size(); ++r) {
        if (rangees_[r]->actions() == lignes[r])
            continue;
        for (QAction* a : rangees_[r]->actions())
            rangees_[r]->removeAction(a);
        rangees_[r]->addActions(lignes[r]);
    }
    updateGeometry();
}
