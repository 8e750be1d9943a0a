#pragma once

#include <QFileDevice>
#include <QString>

// Why an operation on a recording file failed, in French, to complete the messages of
// the writer, the reader and the control copy. The cases a user can act on are named
// plainly: a folder that does not exist, a name that is a folder's, a folder of the
// system that takes no file (/proc, /sys), a disk in read-only mode, a folder or file
// the user may not write, a full disk. Any other failure gives the system's own text.
enum class UsageFichier { lecture, ecriture };
QString raisonechecfichier(const QString& chemin, const QFileDevice& fichier, UsageFichier usage);

// The path as the user's system writes it (backslashes on Windows), for messages.
QString cheminaffiche(const QString& chemin);
