#pragma once

namespace kestro {

// Finds a Java runtime and loads its VM library; false after one report to the user.
bool LoadDLL();

}  // namespace kestro
