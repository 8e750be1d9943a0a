#pragma once

#include <QList>
#include <QRect>
#include <QWidget>

// The client area of a form drawn in twips, which grows with its window: each control
// keeps its place and size in proportion to the area's size over the size it was drawn
// with, and its font grows by the smaller of the two proportions, so that a caption still
// fits its control. The drawn size is where the area starts and the smallest it gets.
class ZoneProportionnelle : public QWidget {
    Q_OBJECT
public:
    // An area drawn `largeur` × `hauteur` twips.
    ZoneProportionnelle(int largeur, int hauteur, QWidget* parent = nullptr);

    // Places `controle` (a child of the area) where the design puts it, in twips. A
    // control whose font size is set elsewhere keeps it (`police` false).
    void place(QWidget* controle, const QRect& twips, bool police = true);

    // The area's size over the drawn size, across and down.
    double echellelargeur() const;
    double echellehauteur() const;

    QSize sizeHint() const override { return dessin_; }
    QSize minimumSizeHint() const override { return dessin_; }

protected:
    void resizeEvent(QResizeEvent* evenement) override;

private:
    struct Place {
        QWidget* controle;
        QRect dessin;  // pixels of the drawn size
        double points; // the font's size as drawn; 0 when it is not scaled
    };
    void replace(const Place& p) const;

    QSize dessin_;
    QList<Place> places_;
};
