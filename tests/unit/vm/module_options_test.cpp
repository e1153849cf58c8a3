// The VM options of a modular application and the main class it hands the library.
#include <gtest/gtest.h>

#include "config/config_tables.h"
#include "support/fake_vm_system.h"
#include "vm/main_arguments.h"
#include "vm/module_options.h"

namespace kestro {
namespace {

using Texts = std::vector<std::string>;

TEST(ModuleOptions, PathMainModuleAndTheLibrarysExport) {
    const std::string exports = "--add-exports=java.base/jdk.internal.module=ALL-UNNAMED";
    struct Case {
        std::string mainModule, modulePath;
        Texts want;
    };
    testing::resetFakeVm();
    testing::fakeVm().environment["PLUGINS"] = "D:\\p1;;D:\\p2";
    for (const Case& c : std::initializer_list<Case>{
             {"", "mods", {}},  // no module: no options, whatever the path
             {"com.example.app", "", {"-Djdk.module.main=com.example.app", exports}},  // modules of the runtime image
             {"com.example.app/com.example.app.Main", "mods;lib\\a.jar",
              {"--module-path=C:\\App\\mods;C:\\App\\lib\\a.jar", "-Djdk.module.main=com.example.app", exports}},
             // Variables expanded, each of their paths resolved, empty elements left out.
             {"m", ";%KESTRO_TEMPDIR%\\mods\\app.jar;;${PLUGINS};D:\\abs\\",
              {"--module-path=C:\\Temp\\kst1\\mods\\app.jar;D:\\p1;D:\\p2;D:\\abs\\", "-Djdk.module.main=m", exports}},
             {"m", ";;", {"-Djdk.module.main=m", exports}},
         }) {
        testing::fakeVm().tempDir = "C:\\Temp\\kst1";
        Texts options{"-Dkept=1"};
        appendModuleOptions(c.mainModule, c.modulePath, testing::fakeVmSystem(), options);
        Texts want{"-Dkept=1"};  // what was there stays first
        want.insert(want.end(), c.want.begin(), c.want.end());
        EXPECT_EQ(options, want) << c.mainModule << " " << c.modulePath;
    }
}

// The library's main class argument: the class after "/", empty for the module's own,
// and key 122 only without a module.
TEST(ModuleOptions, TheMainClassArgument) {
    const std::vector<std::tuple<std::string, std::string, std::u16string>> cases{
        {"", "a.B", u"a.B"},
        {"com.example.app", "", u""},
        {"com.example.app/com.example.app.internal.Main", "", u"com.example.app.internal.Main"},
        {"m/c", "a.B", u"c"},
    };
    for (const auto& [module, mainClass, want] : cases) {
        testing::resetFakeVm();
        configTables().strings[key::MainModule] = module;
        configTables().strings[key::MainClass] = mainClass;
        EXPECT_EQ(mainArguments({}, testing::fakeVmSystem()).at(1), want) << module;
    }
}

}  // namespace
}  // namespace kestro
