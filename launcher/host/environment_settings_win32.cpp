#include "common/environment.h"
#include "config/config_tables.h"
#include "diagnostics/trace.h"
#include "host/environment_settings.h"
#include "vm/variable_expansion.h"
#include "workfiles/paths.h"

namespace kestro {

void applyEnvironmentSettings() {
    for (EnvironmentSetting& setting : parseEnvironmentSettings(lookupString(key::Environment))) {
        expandVariables(setting.value);
        expandPercentReferences(setting.value, environmentValue);
        bool set = setEnvironmentValue(setting.name.c_str(), fromFileSystemText(setting.value));
        trace("environment %s=%s (%s)", setting.name.c_str(), setting.value.c_str(), set ? "set" : "refused");
    }
}

}  // namespace kestro
