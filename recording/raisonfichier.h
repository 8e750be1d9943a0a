#pragma once

#include <QFileDevice>
#include <QString>

// Why an operation on a recording file failed, in French, to complete the messages of
// the writer, the reader and the control copy. The cases a user can act on (a folder
// that does not exist, a refused write, a full disk) are named plainly; any other
// failure gives the system's own text.
enum class UsageFichier { lecture, ecriture };
QString raisonechecfichier(const QString& chemin, const QFileDevice& fichier, UsageFichier usage);

// The path as the user's system writes it (backslashes on Windows), for messages.
QString cheminaffiche(const QString& chemin);
