#include "vm/main_failure.h"

namespace kestro {

namespace {

std::string dotted(std::string_view vmName) {
    std::string name(vmName);
    for (char& c : name)
        if (c == '/') c = '.';
    return name;
}

}  // namespace

msg::MessageId mainExceptionMessage(std::string_view thrown) {
    constexpr std::string_view mark = "com.kestro.runtime.internal.LaunchFailure: ";
    if (thrown.starts_with(mark)) {
        std::string_view id = thrown.substr(mark.size());
        if (id == "1010") return msg::MainClassMissing;
        if (id == "1011") return msg::MainMethodMissing;
    }
    return msg::ApplicationError;
}

std::string classNotLoadedText(std::string_view vmName) {
    std::string name = dotted(vmName);
    // A class the VM cannot find on the class path; the launcher classes are plain Java 8
    // classes, so no other cause is to be expected.
    return "Error: Could not find or load main class " + name + "\nCaused by: java.lang.ClassNotFoundException: " +
           name + "\n";
}

std::string mainMethodMissingText(std::string_view vmName) {
    return "Error: Main method not found in class " + dotted(vmName) +
           ", please define the main method as:\n   public static void main(String[] args)\n";
}

}  // namespace kestro
