#pragma once

#include <QString>

// The folder where lumicom-sim publishes its ports. It is created when missing (mode
// 0700, readable by its owner only) and locked while the simulator runs, so that a second
// simulator started by mistake stops with a message instead of taking over the links.
class DossierPorts {
public:
    explicit DossierPorts(QString chemin) : chemin_(std::move(chemin)) {}
    // Unlocks the folder and removes it if this simulator created it and it is empty.
    ~DossierPorts();
    DossierPorts(const DossierPorts&) = delete;
    DossierPorts& operator=(const DossierPorts&) = delete;

    // Creates and locks the folder; false with a French message on failure. With
    // `personnel`, an existing folder must be a real folder (not a link) owned by the
    // user: the default folder may sit in /tmp, where anyone can create a name first.
    bool prepare(bool personnel, QString& erreur);
    const QString& chemin() const { return chemin_; }

private:
    QString chemin_;
    bool cree_ = false;
    int verrou_ = -1;
};
