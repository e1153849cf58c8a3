// What kestro run decides before it starts anything: the programs it uses, its cache,
// the route by which the launcher's own search finds the stand-in runtime, and the
// version text the stand-in's java.exe prints.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tool/run/run_plan.h"
#include "tool_test_support.h"

namespace kestro::tool::run {
namespace {

struct Machine {
    std::map<std::string, std::string> variables;
    std::set<std::string> programs;

    HostQueries queries() const {
        return {.variable = [this](const std::string& name) -> std::optional<std::string> {
                    auto it = variables.find(name);
                    return it == variables.end() ? std::nullopt : std::optional(it->second);
                },
                .isProgram = [this](const fs::path& path) { return programs.contains(path.string()); }};
    }
};

// Each row's `want` is the path found, or the beginning of the error.
TEST(KestroRunPlan, FindsWineJavaAndTheCache) {
    struct Case {
        std::string what;  // wine, java, cache
        Machine machine;
        std::optional<fs::path> javaHome;
        std::string want;
    };
    const std::string debian = "/usr/lib/wine/wine64";
    for (const Case& c : std::initializer_list<Case>{
             {"wine", {{{"WINE", "/opt/w"}, {"PATH", "/usr/bin"}}, {"/opt/w", "/usr/bin/wine64"}}, {}, "/opt/w"},
             {"wine", {{{"WINE", "/opt/w"}}, {debian}}, {}, "WINE names /opt/w, which is not a program"},
             {"wine", {{{"PATH", "/a:/b"}}, {"/a/wine", "/b/wine64", debian}}, {}, "/b/wine64"},
             {"wine", {{{"PATH", "/a:/b"}}, {"/b/wine", debian}}, {}, "/b/wine"},
             {"wine", {{{"PATH", "/a"}}, {debian}}, {}, debian},
             {"wine", {{{"PATH", "/a"}}, {}}, {}, "kestro run needs Wine, which is not installed: install the Debian "
                                                  "package wine64"},
             {"java", {{{"PATH", "/usr/bin"}}, {"/jdk/bin/java", "/usr/bin/java"}}, "/jdk", "/jdk/bin/java"},
             {"java", {{{"PATH", "/usr/bin"}}, {"/usr/bin/java"}}, "/jdk", "--java-home /jdk: no JDK there"},
             {"java", {{{"PATH", "/x::/usr/bin"}}, {"./java", "/usr/bin/java"}}, {}, "./java"},
             {"java", {{{"PATH", "/x"}}, {}}, {}, "kestro run needs a JDK on this machine"},
             {"cache", {{{"XDG_CACHE_HOME", "/c"}, {"HOME", "/h"}}, {}}, {}, "/c/kestro"},
             {"cache", {{{"XDG_CACHE_HOME", "rel"}, {"HOME", "/h"}}, {}}, {}, "/h/.cache/kestro"},
             {"cache", {{{"XDG_CACHE_HOME", ""}}, {}}, {}, "kestro run keeps its Wine prefix in the cache"},
         }) {
        std::string found;
        std::string error = test::errorOf([&] {
            HostQueries q = c.machine.queries();
            found = (c.what == "wine" ? findWine(q) : c.what == "java" ? findJava(c.javaHome, q) : cacheDirectory(q))
                        .string();
        });
        EXPECT_TRUE((error.empty() ? found : error).starts_with(c.want)) << c.what << ": " << found << error;
    }
}

TEST(KestroRunPlan, NamesTheRuntimeThroughTheFirstVariableWineLeavesAlone) {
    struct Case {
        std::optional<std::string> searchList;
        std::string variable;
        bool fromList;
    };
    for (const Case& c : std::initializer_list<Case>{
             {std::nullopt, "KESTRO_JAVA_HOME", false},
             {"", "KESTRO_JAVA_HOME", false},
             {"Rjre;EKESTRO_JAVA_HOME;EJAVA_HOME;Y;S", "KESTRO_JAVA_HOME", true},
             {"Rjre;EJAVA_HOME;Y", "JAVA_HOME", true},
             {"Rjre;Y;S;B.\\jre", "KESTRO_JAVA_HOME", false},
             // Wine takes these from its registry, whatever kestro run sets.
             {"EPath;Etemp;ETMP;EMYAPP_JAVA", "MYAPP_JAVA", true},
         }) {
        RuntimeRoute route = routeFor(c.searchList);
        EXPECT_EQ(route.variable, c.variable) << c.searchList.value_or("(none)");
        EXPECT_EQ(route.fromSearchList, c.fromList) << c.searchList.value_or("(none)");
    }
}

// The host's text with Windows line ends, escaped for the stand-in's settings line.
TEST(KestroRunPlan, VersionSettingIsOneLineWithWindowsLineEnds) {
    struct Case {
        std::string text, want;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"openjdk version \"17.0.9\" 2023-10-17\nOpenJDK VM\n",
              "stderr=openjdk version \"17.0.9\" 2023-10-17\\r\\nOpenJDK VM\\r\\n\n"},
             {"a\r\nb\\c", "stderr=a\\r\\nb\\\\c\n"},
         })
        EXPECT_EQ(versionSetting(c.text), c.want);
}

// Said before the run when the launcher's own check would refuse the host JDK, with the
// JDK's version, the bounds, the settings and --java-home; nothing when it passes.
TEST(KestroRunPlan, SaysWhenTheBoundsExcludeTheJdk) {
    struct Case {
        VersionBounds bounds;
        std::string versionText, want;  // want: the part after the java's path, or "" for no notice
    };
    const std::string jdk17 = "openjdk version \"17.0.9\" 2023-10-17\nOpenJDK Runtime Environment\n";
    const std::string jdk21ea = "Picked up X\nopenjdk version \"21-ea\" 2023-09-19\n";
    for (const Case& c : std::initializer_list<Case>{
             {{"1.8", "", false}, jdk17, ""},
             {{"17", "17", false}, jdk17, ""},  // 17.0.9 is 17 over the bound's segments
             {{"21", "", false}, jdk17, ": version 17.0.9, needs 21 or later; java.min_version = \"21\")"},
             {{"11", "11.0.20", false}, jdk17, ": version 17.0.9, needs 11 to 11.0.20; java.min_version = \"11\", "
                                               "java.max_version = \"11.0.20\")"},
             {{"", "1.8", false}, jdk17, ": version 17.0.9, needs 1.8 or earlier; java.max_version = \"1.8\")"},
             {{"17", "", false}, jdk21ea, ": version 21-ea is a pre-release; java.allow_prerelease is not set)"},
             {{"17", "", true}, jdk21ea, ""},
             {{"99", "", false}, "no version here\n", ""},
         }) {
        std::optional<std::string> notice = boundsNotice(c.bounds, c.versionText, "/jdk/bin/java");
        if (c.want.empty()) {
            EXPECT_FALSE(notice) << *notice;
            continue;
        }
        ASSERT_TRUE(notice) << c.want;
        EXPECT_EQ(*notice, "the launcher's version bounds exclude the JDK that would run the application (/jdk/bin/java" +
                               c.want + ", so its search will find no runtime. Name a JDK they admit with --java-home DIR.");
    }
}

}  // namespace
}  // namespace kestro::tool::run
