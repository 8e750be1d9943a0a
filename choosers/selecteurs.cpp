#include "choosers/selecteurs.h"

#include "app/feuillelumivox1.h"
#include "app/station.h"
#include "choosers/enregistrefichier.h"
#include "choosers/lecturefichier.h"

#include <QDir>
#include <QStandardPaths>
#include <QTimer>

namespace {

QString dossierinitial() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

template <typename Forme>
void ouvre(QPointer<Forme>& forme, Station& station, const QString& dossier, const QString& legende,
           const std::function<void(FormeFichier*)>& suivi) {
    if (!forme) {
        forme = new Forme(station, lecteursdisponibles(), dossier, station.feuille.get());
        forme->setWindowFlag(Qt::Window);
        suivi(forme);
    }
    forme->setWindowTitle(legende);
    forme->show();
    forme->raise();
    forme->activateWindow();
}

} // namespace

Selecteurs::Selecteurs(Station& station) : station_(station), dossier_(dossierinitial()) {
    Feuillelumivox1* feuille = station.feuille.get();
    connect(feuille, &Feuillelumivox1::ouverturefichierdemandee, this, &Selecteurs::ouvrelecture);
    connect(feuille, &Feuillelumivox1::enregistrementdemande, this,
            &Selecteurs::ouvreenregistrement);
}

Selecteurs::~Selecteurs() {
    delete lecture_;
    delete enregistrement_;
}

Lecturefichier* Selecteurs::lecturefichier() const {
    return lecture_;
}

Enregistrefichier* Selecteurs::enregistrefichier() const {
    return enregistrement_;
}

void Selecteurs::ouvrelecture(const QString& legende) {
    ouvre(lecture_, station_, dossier_, legende, [this](FormeFichier* f) { suit(f); });
}

void Selecteurs::ouvreenregistrement(const QString& legende) {
    ouvre(enregistrement_, station_, dossier_, legende, [this](FormeFichier* f) { suit(f); });
    // A form still open from an earlier reception now saves this one.
    enregistrement_->reprendmesures();
}

void Selecteurs::suit(FormeFichier* forme) {
    connect(forme, &FormeFichier::fermee, this, [this, forme](const QString& repertoire) {
        dossier_ = repertoire;
        // The next opening makes a new form; this one is unloaded once its handler has
        // returned, and nothing of it survives.
        if (lecture_.data() == forme)
            lecture_ = nullptr;
        if (enregistrement_.data() == forme)
            enregistrement_ = nullptr;
        QPointer<FormeFichier> aeffacer(forme);
        QTimer::singleShot(0, this, [aeffacer] { delete aeffacer.data(); });
    });
}
