#include "splash/splash.h"

namespace kestro {

// No splash image is shown yet.
void splashScreen(int) {}
void closeSplash() {}

}  // namespace kestro
