#include "instance/instance_names.h"

#include "common/text.h"

namespace kestro {

std::string instanceSemaphoreBase(std::string_view canonicalPath, bool global) {
    std::string name = global ? "Global\\" : "Local\\";
    for (char c : canonicalPath) name += c == '\\' || c == ' ' ? '_' : c;
    return truncated(std::move(name));
}

std::string numberedSemaphoreName(std::string_view base, uint32_t number) {
    std::string name(base);
    name += decimal(number);
    return truncated(std::move(name));
}

std::string notificationSemaphoreName(std::string_view instanceName) {
    std::string name(instanceName);
    name += "_notification";
    return truncated(std::move(name));
}

}  // namespace kestro
