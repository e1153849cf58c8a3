// What the build writes for the runtime search when the configuration says nothing: the
// search list, and a message for no runtime found that names the versions the bounds
// admit. Both come back out of inspect --toml as defaults, not as settings.
#include <gtest/gtest.h>

#include "format/block_writer.h"
#include "format/config_keys.h"
#include "tool/config/config_loader.h"
#include "tool/inspect/toml_export.h"

namespace kestro::tool {
namespace {

std::optional<std::string> stored(const format::BlockHead& head, format::ConfigKey key) {
    for (const auto& entry : head.strings)
        if (entry.key == key) return entry.value;
    return std::nullopt;
}

const std::string kMain = "application.main_class = \"a.B\"\n";

TEST(RuntimeDefaults, SearchListUnlessTheFileGivesOne) {
    struct Case { const char* config; std::optional<std::string> list; };
    for (const Case& c : std::initializer_list<Case>{
             {"", "Rjre;EKESTRO_JAVA_HOME;EJAVA_HOME;Y;S"},
             {"java.search_order = []\n", ""},  // none, as written
             {"java.search_order = [\"registry\"]\n", "Y"},
             {"build.defaults = false\n", std::nullopt},
         })
        EXPECT_EQ(stored(loadConfiguration(kMain + c.config, "app.toml").head, key::SearchList), c.list) << c.config;
}

TEST(RuntimeDefaults, NoRuntimeMessageNamesTheAcceptableVersions) {
    const std::string first = "No JVM could be found on your system.\n", head = first + "This application needs ",
                      rest = "Please define KESTRO_JAVA_HOME\nto point to an installed {0}-bit JDK or JRE or "
                             "download a JRE from adoptium.net.",
                      plain = first + rest;
    struct Case { const char* config; std::string message; };
    for (const Case& c : std::initializer_list<Case>{
             {"", plain},
             {"java.min_version = \"17\"\n", head + "Java 17 or later.\n" + rest},
             {"java.max_version = \"1.8\"\n", head + "Java 1.8 or earlier.\n" + rest},
             {"java = { min_version = \"11\", max_version = \"17\" }\n", head + "Java 11 to 17.\n" + rest},
             {"java = { min_version = \"17\", max_version = \"17\" }\n", head + "Java 17.\n" + rest},
             {"keys.126 = \"11 or so\"\n", plain},  // no version to name
             {"java.min_version = \"17\"\nmessages.no_jvm_found_bits = \"Get Java {0}\"\n", "Get Java {0}"},
         }) {
        LauncherContents contents;
        contents.head = loadConfiguration(kMain + c.config, "app.toml").head;
        EXPECT_EQ(stored(contents.head, msg::NoJvmFound), c.message) << c.config;
        // Printed, the derived message is a default like the search list, and the printed
        // file builds the same block.
        std::string printed = exportConfiguration(contents, CodePage::Windows1252, std::nullopt).toml;
        EXPECT_EQ(printed.find("no_jvm_found_bits") != std::string::npos, c.message == "Get Java {0}") << printed;
        EXPECT_EQ(format::serializeHead(loadConfiguration(printed, "printed.toml").head),
                  format::serializeHead(contents.head));
        EXPECT_EQ(printed.find("search_order"), std::string::npos) << printed;
    }
}

}  // namespace
}  // namespace kestro::tool
