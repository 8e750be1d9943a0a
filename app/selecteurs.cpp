#include "app/selecteurs.h"

#include "app/feuillelumivox1.h"
#include "choosers/enregistrefichier.h"
#include "choosers/lecturefichier.h"
#include "link/station.h"

#include <QDir>
#include <QStandardPaths>
#include <QTimer>

namespace {

QString dossierinitial() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

// Brings a chooser on screen with its caption, making it with `fabrique` when there is
// none.
template <typename Forme>
void ouvre(QPointer<Forme>& forme, const std::function<Forme*()>& fabrique, const QString& legende,
           const std::function<void(FormeFichier*)>& suivi) {
    if (!forme) {
        forme = fabrique();
        forme->setWindowFlag(Qt::Window);
        suivi(forme);
    }
    forme->setWindowTitle(legende);
    forme->show();
    forme->raise();
    forme->activateWindow();
}

} // namespace

Selecteurs::Selecteurs(Feuillelumivox1& feuille)
    : feuille_(feuille), station_(feuille.station()), dossier_(dossierinitial()) {
    connect(&feuille, &Feuillelumivox1::ouverturefichierdemandee, this, &Selecteurs::ouvrelecture);
    connect(&feuille, &Feuillelumivox1::enregistrementdemande, this,
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
    ouvre<Lecturefichier>(
        lecture_,
        [this] {
            return new Lecturefichier(station_, feuille_.dialogues(), lecteursdisponibles(),
                                      dossier_, &feuille_);
        },
        legende, [this](FormeFichier* f) { suit(f); });
}

void Selecteurs::ouvreenregistrement(const QString& legende) {
    ouvre<Enregistrefichier>(
        enregistrement_,
        [this] {
            return new Enregistrefichier(station_, feuille_.dialogues(), feuille_.dernierresultat(),
                                         lecteursdisponibles(), dossier_, &feuille_);
        },
        legende, [this](FormeFichier* f) { suit(f); });
    // A form still open from an earlier reception now saves this one.
    enregistrement_->reprendmesures(feuille_.dernierresultat());
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
