#include "runtime/version_cache.h"

namespace kestro {

std::string versionCacheKey(std::string_view javaExe) {
    std::string key = "SOFTWARE\\quenfield\\kestro\\jvms\\";
    key += javaExe;
    for (size_t i = key.size() - javaExe.size(); i < key.size(); ++i)
        if (key[i] == '\\') key[i] = '/';
    return key;
}

}  // namespace kestro
