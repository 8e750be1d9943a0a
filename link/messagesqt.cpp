#include "link/messagesqt.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>

namespace {

QtMessageHandler gestionnaireAvantFiltre = nullptr;
bool installe = false;

void filtreMessagesQt(QtMsgType type, const QMessageLogContext& contexte, const QString& texte) {
    if (texte.contains(QLatin1String("propagateSizeHints")) ||
        texte.contains(QLatin1String("XDG_RUNTIME_DIR not set")))
        return;
    if (gestionnaireAvantFiltre)
        gestionnaireAvantFiltre(type, contexte, texte);
    else
        std::fprintf(stderr, "%s\n", qPrintable(texte));
}

} // namespace

void filtremessagesqt() {
    if (installe)
        return;
    installe = true;
    gestionnaireAvantFiltre = qInstallMessageHandler(filtreMessagesQt);
}
