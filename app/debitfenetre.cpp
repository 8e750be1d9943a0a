// The rate of the last message at the foot of the main form.
#include "app/feuillelumivox1.h"

#include "recording/debit.h"

#include <QLabel>
#include <QStatusBar>

void Feuillelumivox1::debitmessage(const DebitMessage& debit) {
    const QString texte = textedebit(debit);
    if (!lignedebit) {
        if (texte.isEmpty())
            return;
        // On the right of the foot, where it stays while the estimate of the next message
        // and a download's progress come and go on the left.
        lignedebit = new QLabel(this);
        lignedebit->setWordWrap(true);
        statusBar()->addPermanentWidget(lignedebit, 1);
    }
    const QString ligne = texte.isEmpty() ? QString()
                                          : (debit.emis ? QStringLiteral("Message envoyé — ")
                                                        : QStringLiteral("Message reçu — ")) +
                                                texte;
    lignedebit->setText(ligne);
    lignedebit->setToolTip(ligne);
    lignedebit->setVisible(!ligne.isEmpty());
}
