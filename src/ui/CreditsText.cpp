#include "CreditsText.h"

#include "common/ProgramInfo.h"

namespace credits {

QStringList segments()
{
    return {
        QStringLiteral("Lo Ciarlatronix 1.0"),
        QStringLiteral("Realizzato da la Banda del Ciarlatronix, Borgo Cazzaro (Italia)"),
        QStringLiteral("Linguaggio di programmazione: C++17 con Qt 6"),
        QStringLiteral("Dialetto di programmazione: sbrodolese antico con accento di Bit"),
        QStringLiteral("Grafica: artgen, il nostro pennello in QPainter"),
        QStringLiteral("Font logo: Ossibuchi, lettere a ossicini disegnate a mano (artgen, %1)")
            .arg(QLatin1String(program::HomePage)),
        QStringLiteral("Font link: Nimbus Mono PS (URW++, 2017)"),
        QStringLiteral("Canzoncina stupenda di sottofondo: colonna sonora del film immaginario "
                       "\"Il ritorno del Ciarlatrone\", musica del maestro Pitone Sintetico"),
        QStringLiteral("Scopo del programma: nessuno"),
        QStringLiteral("Homepage: %1").arg(QLatin1String(program::HomePage)),
    };
}

QString text()
{
    QString joined;
    for (const QString &segment : segments())
        joined += segment + QLatin1String(Separator);
    return joined;
}

} // namespace credits
