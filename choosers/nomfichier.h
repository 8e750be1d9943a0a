#pragma once

#include <QChar>
#include <QString>
#include <functional>

// The rules of the file chooser forms for names and paths.

// What a text typed in a chooser's name box is. The text is read as it stands, one
// character after another to its last: a name (one or more of A-Z a-z 0-9 ' - _ # ~ ? @,
// optionally followed by one "*"; or a single "*"), then optionally an extension ("." then
// zero or more of those characters, optionally followed by one "*"), and nothing after.
// Each character is compared as it is, never upper-cased first: 'ı', 'ſ' or 'ﬀ', which
// upper-case into allowed letters, are refused like any accented letter. No separator
// ("/", "\") and no ".." can pass, so a name never leads out of the folder listed.
enum class SorteNom {
    nom,          // a file name: Ok takes it
    motif,        // a valid pattern, with "*" or "?": it filters the file list
    vide,         // nothing typed
    pointinitial, // begins with "."
    caractere,    // a character outside the allowed set, at `position`
    secondpoint,  // a second ".", at `position`
    etoile,       // a "*" followed by something else than "." or the end, at `position`
};
struct ExamenNom {
    SorteNom sorte = SorteNom::vide;
    qsizetype position = -1; // where the text stops being acceptable
};
ExamenNom examinenom(const QString& texte);

// Whether `texte` is a file name or a pattern the choosers accept (a name or a motif
// above). 'essai.rrr', 'essai', 'essai.', '*.rrr', '*', 'a.*', '?' are accepted; '',
// '.rrr', 'a*b', 'a.b.c', 'a.r*x', 'mesure 1.rrr', 'été.rrr', 'a$b', 'a/b' are not.
bool nomvalide(const QString& texte);

// Whether the text holds a wildcard, "?" or "*": it is then a pattern, not a name.
bool contientjoker(const QString& texte);

// Why Ok does not take `texte`, in French, for the line under Ok; empty for a name.
QString raisonnomrefuse(const QString& texte);

// The name a recording is saved under: ".rrr" added to a name without extension ('essai'
// gives 'essai.rrr'), "rrr" to a name that ends with its "." ('essai.' gives 'essai.rrr');
// a name with an extension, ".rrr" or another, is kept as typed, and so is an empty text.
QString nomavecextension(const QString& nom);

// Whether `nom` ends with the extension of the recordings, ".rrr" in any case.
bool extensionenregistrement(const QString& nom);

// The order of the names in the file and directory lists: letters compared without
// their case (so 'b.rrr' comes after 'A.rrr'); names that differ only by case, upper
// case first ('A.rrr' before 'a.rrr'), so that the order never depends on the disk.
bool nomavant(const QString& a, const QString& b);

// The path of `nom` in `repertoire`: joined directly when the directory already ends with
// the separator (a drive's root), otherwise with the separator between them.
QString chemincomplet(const QString& repertoire, const QString& nom,
                      QChar separateur = QChar(u'/'));

// The caption that shows `chemin` in a width of `largeur`, widths measured by `mesure`:
// the whole path when it is narrower than the width; otherwise the part up to its first
// separator followed by "...", then the end of the path, whole directory names dropped
// from its start until it is narrower than what is left ('/.../mesures/juin',
// 'C:\...\mesures\juin'). At least one name is dropped then. When only the last name is
// left and it still does not fit, that name is cut at its end. The caption is always
// narrower than `largeur` (empty when nothing is).
QString raccourcitchemin(const QString& chemin, int largeur,
                         const std::function<int(const QString&)>& mesure,
                         QChar separateur = QChar(u'/'));
