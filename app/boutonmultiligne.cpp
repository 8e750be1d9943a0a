#include "app/boutonmultiligne.h"

#include <QStyleOptionButton>
#include <QStylePainter>

void BoutonMultiligne::paintEvent(QPaintEvent*) {
    QStylePainter peintre(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString legende = option.text;
    option.text.clear();
    peintre.drawControl(QStyle::CE_PushButton, option);
    const QRect zone = style()
                           ->subElementRect(QStyle::SE_PushButtonContents, &option, this)
                           .adjusted(2, 2, -2, -2);
    peintre.drawItemText(zone, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic,
                         option.palette, isEnabled(), legende, QPalette::ButtonText);
}
