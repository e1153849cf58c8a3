#include "vm/variable_expansion.h"

#include <cstdint>

#include "common/text.h"
#include "diagnostics/trace.h"

namespace kestro {

namespace {

enum class Value : uint8_t { LauncherDirectory, LauncherTempDirectory, PathListSeparator, RuntimeHome, SystemTemp };

struct FixedVariable {
    const char* reference;
    Value value;
};

// The order matters: a value inserted by one row is seen by the rows after it only.
constexpr FixedVariable kFixedVariables[] = {
    {"%KESTRO_EXEDIR%", Value::LauncherDirectory},
    {"%VELMORA_EXEDIR%", Value::LauncherDirectory},
    {"%KESTRO_TEMPDIR%", Value::LauncherTempDirectory},
    {"%VELMORA_TEMPDIR%", Value::LauncherTempDirectory},
    {"%KESTRO_PATHLIST_SEPARATOR%", Value::PathListSeparator},
    {"%VELMORA_PATHLIST_SEPARATOR%", Value::PathListSeparator},
    {"%KESTRO_JVM_HOME%", Value::RuntimeHome},
    {"%VELMORA_JVM_HOME%", Value::RuntimeHome},
    {"${KESTRO_EXEDIR}", Value::LauncherDirectory},
    {"${VELMORA_EXEDIR}", Value::LauncherDirectory},
    {"${KESTRO_TEMPDIR}", Value::LauncherTempDirectory},
    {"${VELMORA_TEMPDIR}", Value::LauncherTempDirectory},
    {"${KESTRO_PATHLIST_SEPARATOR}", Value::PathListSeparator},
    {"${VELMORA_PATHLIST_SEPARATOR}", Value::PathListSeparator},
    {"${KESTRO_JVM_HOME}", Value::RuntimeHome},
    {"${VELMORA_JVM_HOME}", Value::RuntimeHome},
    {"${launcher:sys.launcherDirectory}", Value::LauncherDirectory},
    {"${launcher:sys.launcherTempDirectory}", Value::LauncherTempDirectory},
    {"${launcher:sys.pathlistSeparator}", Value::PathListSeparator},
    {"${launcher:sys.jvmHome}", Value::RuntimeHome},
    {"${launcher:sys.tempDir}", Value::SystemTemp},
};

}  // namespace

void replaceAll(std::string& text, const std::string& reference, const std::string& value) {
    if (reference.empty()) return;
    for (size_t at = text.find(reference); at != std::string::npos; at = text.find(reference, at + value.size())) {
        text.replace(at, reference.size(), value);
        // The texts live in fixed buffers elsewhere; cutting here also bounds a text
        // that variables referring to each other would otherwise keep growing.
        if (text.size() > kTextCapacity - 1) text.resize(kTextCapacity - 1);
        trace("expanding %s to %s in %s.", reference.c_str(), value.c_str(), text.c_str());
    }
}

void expandFixedVariables(std::string& text, const ExpansionValues& values) {
    const std::string separator = ";";
    const std::string* byValue[] = {&values.launcherDirectory, &values.launcherTempDirectory, &separator,
                                    &values.runtimeHome, &values.systemTempDirectory};
    for (const FixedVariable& variable : kFixedVariables)
        replaceAll(text, variable.reference, *byValue[size_t(variable.value)]);
}

void expandEnvironmentEntry(std::string& text, std::string_view entry) {
    size_t equals = entry.find('=');
    // The system's per-drive directories ("=C:=C:\work") have no name of their own:
    // they must not turn "${}" into a path.
    if (equals == std::string_view::npos || equals == 0) return;
    std::string reference = "${";
    reference += entry.substr(0, equals);
    reference += '}';
    std::string value(entry.substr(equals + 1));
    replaceAll(text, reference, value);
    for (char& c : reference)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    replaceAll(text, reference, value);
}

}  // namespace kestro
