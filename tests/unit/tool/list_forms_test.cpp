#include <gtest/gtest.h>

#include "tool/class_path.h"
#include "tool/search_list.h"
#include "tool/setting_error.h"
#include "tool/toml_writer.h"

namespace kestro::tool {
namespace {

toml::table parse(const std::string& value) { return toml::parse("v = " + value); }

std::string searchText(const std::string& value) { return encodeSearchList(*parse(value).get("v")); }
std::string classPathText(const std::string& value) { return encodeClassPath(*parse(value).get("v")); }

// The message of the SettingError that `f` throws, with the path of the offending part.
template <class F>
std::string errorOf(F&& f) {
    try {
        f();
    } catch (const SettingError& e) {
        return e.path() + ": " + e.what();
    }
    return "no error";
}

TEST(SearchList, ReadableEntriesGiveTheStoredText) {
    EXPECT_EQ(searchText(R"([{ relative_directory = ".\\jre" }, { any_directory = ".\\jre" },
                             { variable = "MYAPP_JAVA" }, "registry", { variable = "JAVA_HOME" },
                             { variable = "JDK_HOME" }, { directory = "C:\\jdk" }, "search-path"])"),
              "R.\\jre;B.\\jre;EMYAPP_JAVA;Y;EJAVA_HOME;EJDK_HOME;AC:\\jdk;S");
    EXPECT_EQ(searchText("[]"), "");
}

TEST(SearchList, StoredTextDecodesToTheReadableList) {
    auto list = decodeSearchList("R.\\jre;Y;EJAVA_HOME;S");
    ASSERT_TRUE(list);
    EXPECT_EQ(tomlInline(*list), R"([{ relative_directory = ".\\jre" }, "registry", { variable = "JAVA_HOME" }, "search-path"])");
    for (std::string_view odd : {"R", "Yx", "Q.\\jre", "Y;;S", ";Y"}) EXPECT_FALSE(decodeSearchList(odd)) << odd;
}

TEST(SearchList, MalformedEntriesNameTheirPosition) {
    EXPECT_EQ(errorOf([] { searchText(R"(["registry", "path"])"); }).substr(0, 4), "[1]:");
    EXPECT_NE(errorOf([] { searchText(R"([{ variable = "A", directory = "B" }])"); }).find("not two"), std::string::npos);
    EXPECT_NE(errorOf([] { searchText(R"([{ varaible = "A" }])"); }).find("[0].varaible: unknown entry key"),
              std::string::npos);
    EXPECT_NE(errorOf([] { searchText(R"([{ variable = "" }])"); }).find("is empty"), std::string::npos);
    EXPECT_NE(errorOf([] { searchText(R"([{ variable = "A;B" }])"); }).find("contains ';'"), std::string::npos);
    EXPECT_NE(errorOf([] { searchText(R"([{ variable = 3 }])"); }).find("[0].variable: expected a string"),
              std::string::npos);
    EXPECT_NE(errorOf([] { searchText(R"("registry")"); }).find("expected a list"), std::string::npos);
}

TEST(ClassPath, ReadableEntriesGiveTheStoredText) {
    EXPECT_EQ(classPathText(R"([{ archive = ".\\.velmora\\user.jar", mandatory = false }, { scan = "lib" },
                                { directory = "classes" }, { variable = "EXTRA_CP", mandatory = true }])"),
              "A0.\\.velmora\\user.jar;S1lib;D1classes;E1EXTRA_CP");
}

TEST(ClassPath, StoredTextDecodesToTheReadableList) {
    auto list = decodeClassPath("A0.\\.velmora\\user.jar;S1lib");
    ASSERT_TRUE(list);
    EXPECT_EQ(tomlInline(*list), R"([{ archive = ".\\.velmora\\user.jar", mandatory = false }, { scan = "lib" }])");
    for (std::string_view odd : {"A1", "A2x", "X1x", "A1x;", "a1x"}) EXPECT_FALSE(decodeClassPath(odd)) << odd;
}

TEST(ClassPath, MalformedEntriesNameTheirPosition) {
    EXPECT_NE(errorOf([] { classPathText(R"(["app.jar"])"); }).find("[0]: expected a table"), std::string::npos);
    EXPECT_NE(errorOf([] { classPathText(R"([{ archive = "a", mandatory = "yes" }])"); }).find("[0].mandatory"),
              std::string::npos);
    EXPECT_NE(errorOf([] { classPathText(R"([{ mandatory = true }])"); }).find("needs one of"), std::string::npos);
    EXPECT_NE(errorOf([] { classPathText(R"([{ jar = "a" }])"); }).find("unknown entry key 'jar'"), std::string::npos);
}

}  // namespace
}  // namespace kestro::tool
