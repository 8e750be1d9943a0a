#pragma once

#include <QString>
#include <vector>

// The drives a file chooser offers. On Windows, the machine's drives ("c:", "d:", ...).
// Elsewhere, the places a user can browse from: the root of the file system, the home
// directory and the removable media mounted under /media, /run/media or /mnt.
struct Lecteur {
    QString libelle; // as the drive list shows it
    QString racine;  // the directory it opens on, with Qt's "/" separators
};

std::vector<Lecteur> lecteursdisponibles();

// Whether the drive can be browsed now: its root exists and can be read.
bool lecteurlisible(const Lecteur& lecteur);

// The drive that holds `dossier`: the one whose root is the longest start of it; 0 when
// none does.
int lecteurde(const std::vector<Lecteur>& lecteurs, const QString& dossier);
