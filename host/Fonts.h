// The font set-up of the program: Windows family names mapped to installed fonts
// with the same metrics, for Qt and for the browser engine alike.
#pragma once

namespace kavel {

// Points fontconfig at the shipped mapping (unless the environment already names a
// configuration), written into the private runtime folder. Call before the application
// object is created.
void UseShippedFontConfig();
// Qt-side substitutions for the same family names.
void InstallFontSubstitutions();

}  // namespace kavel
