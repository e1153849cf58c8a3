#pragma once

namespace kestro {

// Shows the executable's splash image through the chosen runtime's splash library
// (`showValue` non-zero; only the first such request does anything) or closes it again
// (0; only once it was shown). Nothing happens unless integer key 10123 is set. Never
// fails visibly: a missing library or function is traced and the start goes on.
void splashScreen(int showValue);

// Whether the image has been handed to the splash library; never cleared again.
bool splashShown();

}  // namespace kestro
