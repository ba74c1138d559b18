#include "Accessible.h"

namespace accessible {

const ControlDescription *of(layout::Control control)
{
    for (const ControlDescription &entry : Controls) {
        if (entry.id == control)
            return &entry;
    }
    return nullptr;
}

std::u16string spokenText(std::u16string_view labelText)
{
    std::u16string spoken;
    spoken.reserve(labelText.size());
    for (std::size_t i = 0; i < labelText.size(); ++i) {
        const char16_t c = labelText[i];
        if (c == u'&') {
            // A lone ampersand at the end marks nothing and shows nothing.
            if (++i < labelText.size())
                spoken += labelText[i];
        } else if (c == u'\r') {
            if (i + 1 < labelText.size() && labelText[i + 1] == u'\n')
                ++i;
            spoken += u'\n';
        } else {
            spoken += c;
        }
    }
    return spoken;
}

} // namespace accessible
