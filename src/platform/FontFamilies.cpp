#include "platform/FontFamilies.h"

#include <QFont>

namespace kavel {

void InstallGenericFamilySubstitutions() {
    // The faces the browser engine lays the generic families out in, with the shipped font
    // configuration: its defaults are "Times New Roman" (mapped to Liberation Serif),
    // "Arial" (Liberation Sans) and "Monospace" (DejaVu Sans Mono). Left alone, Qt would ask
    // fontconfig and get DejaVu for serif and sans-serif, up to a third wider.
    const std::pair<const char*, const char*> generic[] = {
        {"serif", "Liberation Serif"},        {"sans-serif", "Liberation Sans"},
        {"monospace", "DejaVu Sans Mono"},    {"cursive", "Liberation Serif"},
        {"fantasy", "Liberation Serif"},      {"math", "Liberation Serif"},
        {"ui-serif", "Liberation Serif"},     {"ui-sans-serif", "Liberation Serif"},
        {"ui-monospace", "Liberation Serif"}, {"-webkit-body", "Liberation Serif"},
        {"system-ui", "DejaVu Sans"},
    };
    for (const auto& [family, face] : generic) {
        QFont::insertSubstitution(QString::fromLatin1(family), QString::fromLatin1(face));
    }
}

}  // namespace kavel
