#include <gtest/gtest.h>

#include "tool/config_loader.h"
#include "tool/resource_settings.h"
#include "tool_test_support.h"

namespace kestro::tool {
namespace {

class RawResources : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeFile(dir_ / "splash.png", "PNG bytes");
        test::writeFile(dir_ / "res/manifest.xml", "<assembly/>");
    }
    BuildPlan load(const std::string& text) {
        return loadConfiguration("application.main_class = \"a.B\"\n" + text, dir_ / "app.toml");
    }
    std::string problems(const std::string& text) {
        std::string message = test::errorOf([&] { load(text); });
        // Messages name the configuration by the path it was given.
        for (size_t at; (at = message.find((dir_ / "").string())) != std::string::npos;)
            message.erase(at, (dir_ / "").string().size());
        return message;
    }
    test::TempDir dir_;
};

TEST_F(RawResources, ReadTheirFilesBesideTheConfiguration) {
    BuildPlan plan = load("manifest.generate = false\n[[resources]]\ntype = 10\nid = 10000\nfile = \"splash.png\"\n"
                          "[[resources]]\ntype = 24\nid = 1\nlanguage = 1033\nfile = \"res/manifest.xml\"\n");
    ASSERT_EQ(plan.resources.size(), 2u);
    EXPECT_EQ(plan.resources[0], (format::Resource{10, 10000, 0, {'P', 'N', 'G', ' ', 'b', 'y', 't', 'e', 's'}}));
    EXPECT_EQ(plan.resources[1].type, 24);
    EXPECT_EQ(plan.resources[1].language, 1033);
    EXPECT_EQ(std::string(plan.resources[1].data.begin(), plan.resources[1].data.end()), "<assembly/>");
    EXPECT_TRUE(load("").resources.empty());
}

TEST_F(RawResources, BadEntriesNameFileLineAndSetting) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"[[resources]]\ntype = 0\nid = 1\nfile = \"splash.png\"\n",
         "app.toml:3: resources[0].type: expected a type number from 1 to 65535, got 0"},
        {"[[resources]]\ntype = 10\nid = 70000\nfile = \"splash.png\"\n",
         "app.toml:4: resources[0].id: expected an id from 1 to 65535, got 70000"},
        {"[[resources]]\ntype = \"icon\"\nid = 1\nfile = \"splash.png\"\n",
         "app.toml:3: resources[0].type: expected a type number, got a string"},
        {"[[resources]]\ntype = 10\nfile = \"splash.png\"\n", "app.toml:2: resources[0].id: a resource needs an id"},
        {"[[resources]]\ntype = 10\nid = 1\nlanguage = -1\nfile = \"splash.png\"\n",
         "app.toml:5: resources[0].language: expected a language id from 0 to 65535, got -1"},
        {"[[resources]]\ntype = 10\nid = 1\nfile = \"gone.png\"\n",
         "app.toml:5: resources[0].file: file 'gone.png' not found (looked for gone.png)"},
        {"[[resources]]\ntype = 10\nid = 1\nfile = \"res\"\n",
         "app.toml:5: resources[0].file: 'res' is not a regular file (looked for res)"},
        {"[[resources]]\ntype = 10\nid = 1\nfiel = \"splash.png\"\n",
         "app.toml:2: resources[0].file: a resource needs a file with its bytes\n"
         "app.toml:5: unknown setting 'resources[0].fiel' (did you mean 'resources[0].file'?)"},
        {"resources = 3\n", "app.toml:2: resources: expected [[resources]] tables, got an integer"},
        {"[[resources]]\ntype = 10\nid = 1\nfile = \"splash.png\"\n[[resources]]\ntype = 10\nid = 1\nfile = "
         "\"splash.png\"\n",
         "app.toml:6: resources[1]: resource 10/1/0 (type/id/language) is also made by 'resources[0]' (line 2)"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(problems(text), expected) << text;
}

TEST(ResourceTypes, StandardTypesHaveTheirNames) {
    EXPECT_EQ(resourceTypeName(3), "RT_ICON");
    EXPECT_EQ(resourceTypeName(14), "RT_GROUP_ICON");
    EXPECT_EQ(resourceTypeName(16), "RT_VERSION");
    EXPECT_EQ(resourceTypeName(24), "RT_MANIFEST");
    EXPECT_EQ(resourceTypeName(10), "RT_RCDATA");
    EXPECT_EQ(resourceTypeName(300), "");
}

}  // namespace
}  // namespace kestro::tool
