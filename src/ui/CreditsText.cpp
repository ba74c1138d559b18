#include "CreditsText.h"

#include "common/ProgramInfo.h"
#include "common/Text.h"

namespace credits {

std::vector<std::u16string> segments()
{
    const std::u16string home = text::fromUtf8(program::HomePage);
    return {
        u"Lo Ciarlatronix 1.0",
        u"Realizzato da Banda Ciarlatronix, Borgo Cazzaro (Italia)",
        u"Linguaggio di programmazione: C++17, con Qt 6 e Win32",
        u"Dialetto di programmazione: sbrodolese antico",
        u"Grafica: artgen, il nostro pennello in QPainter",
        u"Font logo: Ossibuchi, lettere a ossicini disegnate a mano (artgen, " + home + u")",
        u"Font link: Nimbus Mono PS (URW++, 2014)",
        u"Canzoncina stupenda di sottofondo: dal film immaginario \"Il ritorno del Ciarlatrone\", "
        u"musica del maestro Pitone",
        u"Scopo del programma: nessuno",
        u"Homepage: " + home,
    };
}

std::u16string text()
{
    std::u16string joined;
    for (const std::u16string &segment : segments())
        joined += segment + Separator;
    return joined;
}

} // namespace credits
