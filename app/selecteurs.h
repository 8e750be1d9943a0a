#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class Enregistrefichier;
class Feuillelumivox1;
class FormeFichier;
class Lecturefichier;
class Station;

// Opens the file choosers of a station when its main form asks for them: the open chooser
// from the two menu items that decode a recording, the save chooser after a fast
// reception. The caller does not wait. A chooser already on screen is brought forward with
// its new caption; a closed one is unloaded, and the next opening starts afresh on the
// directory the last chooser was on (at first, the user's documents folder).
class Selecteurs : public QObject {
    Q_OBJECT
public:
    explicit Selecteurs(Feuillelumivox1& feuille);
    ~Selecteurs() override;

    void ouvrelecture(const QString& legende);
    void ouvreenregistrement(const QString& legende);

    // The choosers on screen, or null.
    Lecturefichier* lecturefichier() const;
    Enregistrefichier* enregistrefichier() const;

    // The directory the next chooser opens on.
    QString dossier() const { return dossier_; }
    void fixedossier(const QString& dossier) { dossier_ = dossier; }

private:
    void suit(FormeFichier* forme);

    Feuillelumivox1& feuille_;
    Station& station_;
    QPointer<Lecturefichier> lecture_;
    QPointer<Enregistrefichier> enregistrement_;
    QString dossier_;
};
