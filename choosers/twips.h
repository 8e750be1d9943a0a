#pragma once

// The forms were drawn in twips (1440 to the inch): a length of the design in pixels of
// this screen.
int pixelsdetwips(int twips);
// The same, `echelle` times larger.
int pixelsdetwips(int twips, double echelle);

class QRect;
class QWidget;

// Places a control where the form's design puts it: left, top, width and height in twips.
void placeentwips(QWidget* controle, const QRect& twips, double echelle = 1.0);
