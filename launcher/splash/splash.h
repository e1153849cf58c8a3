#pragma once

namespace kestro {

// Shows the executable's splash image through the runtime's splash library.
void splashScreen(int showCommand);
// Closes the splash image if one is shown.
void closeSplash();

}  // namespace kestro
