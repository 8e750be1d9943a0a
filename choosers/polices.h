#pragma once

#include <QFont>

// The fonts the forms were drawn with, or the nearest the machine has: "MS Sans Serif"
// for the forms' labels and buttons, "Times New Roman" for the two text boxes; bold.
QFont policeformulaire(double points);
QFont policetexte(double points);

// The size of the choosers' own font, as drawn.
inline constexpr double pointsChoisisseurs = 8.25;
// How much larger than drawn the choosers open: 1, or more with the option of the large
// font (their fonts and their controls alike).
double agrandissementchoisisseurs();
void fixeagrandissementchoisisseurs(double facteur);
