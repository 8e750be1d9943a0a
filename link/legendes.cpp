#include "link/legendes.h"

QString legendemorselent() {
    return QStringLiteral("Communication entre deux ordinateurs en code Morse (lent)");
}

QString legendebinairelent() {
    return QStringLiteral(
        "Communication entre deux ordinateurs en code binaire 8 bits ASCII (lent)");
}

QString etiquette1morse() {
    return QStringLiteral(
               " Entrer un message (sur 26 minuscules sans ponctuation ou 9 chiffres) ou code") +
           QString(25, u' ');
}

QString etiquette1binaire() {
    return QStringLiteral(" Entrer un message (tout caractère clavier) ou code") +
           QString(25, u' ');
}

QString etiquette1morserapide() {
    return QStringLiteral(
               " Entrer un message (26 minuscules sans ponctuation ou 9 chiffres) ou code") +
           QString(25, u' ');
}
