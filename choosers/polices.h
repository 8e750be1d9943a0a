#pragma once

#include <QFont>

// The fonts the forms were drawn with, or the nearest the machine has: "MS Sans Serif"
// for the forms' labels and buttons, "Times New Roman" for the two text boxes; bold.
QFont policeformulaire(double points);
QFont policetexte(double points);
