#include "CreditsText.h"

#include "common/ProgramInfo.h"

namespace credits {

QStringList segments()
{
    const QString home = QLatin1String(program::HomePage);
    return {
        QStringLiteral("Lo Ciarlatronix 1.0"),
        QStringLiteral("Realizzato da Banda Ciarlatronix, Borgo Cazzaro (Italia)"),
        QStringLiteral("Linguaggio di programmazione: C++17 e Qt 6"),
        QStringLiteral("Dialetto di programmazione: sbrodolese antico"),
        QStringLiteral("Grafica: artgen, il nostro pennello in QPainter"),
        QStringLiteral("Font logo: Ossibuchi, lettere a ossicini disegnate a mano (artgen, %1)").arg(home),
        QStringLiteral("Font link: Nimbus Mono PS (URW++, 2014)"),
        QStringLiteral("Canzoncina stupenda di sottofondo: dal film immaginario \"Il ritorno del Ciarlatrone\", "
                       "musica del maestro Pitone"),
        QStringLiteral("Scopo del programma: nessuno"),
        QStringLiteral("Homepage: %1").arg(home),
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
