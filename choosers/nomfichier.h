#pragma once

#include <QChar>
#include <QString>
#include <functional>

// The rules of the file chooser forms for names and paths.

// Whether `texte` is a file name or a pattern the choosers accept. Read one character at a
// time, upper-cased, followed by the end mark "$" (a "$" in the text is taken as the end
// mark, so nothing after it is examined), it must read as: a name (one or more of
// A-Z 0-9 ' - _ # ~ ? @, optionally followed by one "*"; or a single "*"), then optionally
// an extension ("." then zero or more of those characters, optionally followed by one
// "*"), then the end mark. 'essai.rrr', '*.rrr', 'a.*' are accepted; '', '.rrr', 'a*b',
// 'a.b.c', 'mesure 1.rrr', 'été.rrr' are not.
bool nomvalide(const QString& texte);

// Whether the text holds a wildcard, "?" or "*": it is then a pattern, not a name.
bool contientjoker(const QString& texte);

// The path of `nom` in `repertoire`: joined directly when the directory already ends with
// the separator (a drive's root), otherwise with the separator between them.
QString chemincomplet(const QString& repertoire, const QString& nom,
                      QChar separateur = QChar(u'/'));

// The caption that shows `chemin` in a width of `largeur`, widths measured by `mesure`:
// the whole path when it fits; otherwise the part up to its first separator followed by
// "...", then the end of the path, whole directory names dropped from its start until it
// fits ('/.../mesures/juin', 'C:\...\mesures\juin'). At least one name is dropped then.
// When only the last name is left and it still does not fit, that name is cut at its end.
QString raccourcitchemin(const QString& chemin, int largeur,
                         const std::function<int(const QString&)>& mesure,
                         QChar separateur = QChar(u'/'));
