#include "tools/messagesqt.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>

namespace {

QtMessageHandler gestionnairePrecedent = nullptr;
bool installe = false;

void filtreMessagesQt(QtMsgType type, const QMessageLogContext& contexte, const QString& texte) {
    if (texte.contains(QLatin1String("propagateSizeHints")))
        return;
    if (gestionnairePrecedent)
        gestionnairePrecedent(type, contexte, texte);
    else
        std::fprintf(stderr, "%s\n", qPrintable(texte));
}

} // namespace

void ignoreavertissementsoffscreen() {
    if (installe)
        return;
    installe = true;
    gestionnairePrecedent = qInstallMessageHandler(filtreMessagesQt);
}
