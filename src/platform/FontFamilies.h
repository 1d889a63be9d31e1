// The generic font families (serif, sans-serif, monospace) on the Qt side, resolved to the
// faces the browser engine uses for them, so that text the browser measured takes the same
// room when Qt draws it.
#pragma once

namespace kavel {

// Installs Qt font substitutions for the generic families. Call once at start, after the
// application object exists.
void InstallGenericFamilySubstitutions();

}  // namespace kavel
