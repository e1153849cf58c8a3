package org.kestro.maven;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.Arrays;
import java.util.Collections;

import org.junit.jupiter.api.Test;

class LauncherConfigTest {
    private static final Path DIR = Paths.get("/work/app").toAbsolutePath();
    private static final Path FILE = DIR.resolve("src/app.toml");

    private static LauncherConfig.Input project() {
        LauncherConfig.Input in = new LauncherConfig.Input();
        in.mainClass = "com.acme.Main";
        in.projectJar = DIR.resolve("target/app-1.0.jar");
        in.dependencies.add(new LauncherConfig.Jar(Paths.get("/repo/org/lib/1.0/lib-1.0.jar"), "org.lib"));
        in.version = "1.0-SNAPSHOT";
        in.name = "Acme App";
        return in;
    }

    private static String jar(String path) {
        return Paths.get(path).toString().replace("\\", "\\\\");
    }

    // The defaults file the plugin writes, each way of placing the dependencies; the tool
    // merges it with the user's file (its rules are the tool's own tests).
    @Test
    void writesTheProjectsSettingsAsDefaults() throws Exception {
        String head = "[application]\n# <mainClass> of the plugin's configuration\nmain_class = \"com.acme.Main\"\n"
                + "\n[[files]]\nsource = \"" + jar("/work/app/target/app-1.0.jar") + "\"\n";
        String version = "\n[version]\n# the project's version, name and description\nfile_version = \"1.0.0\"\n"
                + "product_name = \"Acme App\"\n";
        String beside = head + "\n[classpath]\nentries = [{ archive = \"lib\\\\lib-1.0.jar\" }]\n" + version;
        String[][] cases = {
            {"INCLUDE", "false", head + "\n[[files]]\nsource = \"" + jar("/repo/org/lib/1.0/lib-1.0.jar") + "\"\n" + version},
            {"BESIDE", "false", beside},
            {"BESIDE", "true", beside + "\n[[package.files]]\nsource = \"" + jar("/repo/org/lib/1.0/lib-1.0.jar")
                    + "\"\ntarget = \"lib/lib-1.0.jar\"\n"},
        };
        for (String[] c : cases) {
            LauncherConfig.Input in = project();
            in.mode = LauncherConfig.Dependencies.valueOf(c[0]);
            in.packageFiles = Boolean.parseBoolean(c[1]);
            LauncherConfig.Result result = LauncherConfig.build(in);
            assertEquals(c[2], result.toml, c[0] + " " + c[1]);
            assertEquals(Collections.emptyList(), result.warnings, c[0]);
        }
    }

    // BESIDE: same-named jars of two groups both get a place in lib/ and on the class path.
    @Test
    void putsDependenciesBesideOnTheClassPath() throws Exception {
        LauncherConfig.Input in = project();
        in.mode = LauncherConfig.Dependencies.BESIDE;
        in.dependencies.add(new LauncherConfig.Jar(Paths.get("/repo/org/other/1.0/lib-1.0.jar"), "org.other"));
        in.dependencies.add(new LauncherConfig.Jar(Paths.get("/repo/x/1.0/x-1.0.jar"), "x"));
        LauncherConfig.Result result = LauncherConfig.build(in);
        assertTrue(result.toml.contains("entries = [{ archive = \"lib\\\\lib-1.0.jar\" },"
                + " { archive = \"lib\\\\org.other-lib-1.0.jar\" }, { archive = \"lib\\\\x-1.0.jar\" }]"), result.toml);
        assertEquals(Arrays.asList("lib-1.0.jar", "org.other-lib-1.0.jar", "x-1.0.jar"),
                Arrays.asList(result.beside.keySet().toArray()));
    }

    // Without a main class and a configuration file the plugin stops and says where to give
    // one; with a file, the tool says whether the file names one.
    @Test
    void needsAMainClassOrAFile() throws Exception {
        LauncherConfig.Input in = project();
        in.mainClass = null;
        LauncherConfig.ConfigException e = assertThrows(LauncherConfig.ConfigException.class, () -> LauncherConfig.build(in));
        assertTrue(e.getMessage().startsWith("the application's main class is missing: set <mainClass> in the plugin's"
                + " configuration"), e.getMessage());
        in.configFile = FILE;
        assertTrue(!LauncherConfig.build(in).toml.contains("main_class"));
    }

    // Version texts the launcher cannot carry as they are.
    @Test
    void warnsAboutTheProjectsVersionTexts() throws Exception {
        LauncherConfig.Input in = project();
        in.version = "v2";
        in.description = String.join("", Collections.nCopies(VersionInfo.MAX_TEXT + 5, "a"));
        LauncherConfig.Result result = LauncherConfig.build(in);
        assertEquals(2, result.warnings.size(), result.warnings.toString());
        assertTrue(result.warnings.get(0).startsWith("the project's version \"v2\" does not begin with numbers"));
        assertTrue(result.warnings.get(1).startsWith("the project's description is cut to "));
        assertTrue(!result.toml.contains("file_version"));
    }

    @Test
    void mapsTheProjectVersion() {
        String[][] cases = {
            {"1.2.3-SNAPSHOT", "1.2.3"}, {"2.0", "2.0.0"}, {"7", "7.0.0"}, {"1.2.3.4.5", "1.2.3.4"},
            {"2024.01.15", "2024.1.15"}, {"1.2-rc1", "1.2.0"}, {"1.2.", "1.2.0"}, {"65535.0", "65535.0.0"},
            {"1.65536", null}, {"99999999999", null}, {"v1.2", null}, {"", null},
        };
        for (String[] c : cases) assertEquals(c[1], VersionInfo.fileVersion(c[0]), c[0]);
        String longText = String.join("", Collections.nCopies(VersionInfo.MAX_TEXT - 1, "a")) + "\uD83D\uDE00";
        assertEquals("A two-line text", VersionInfo.description("  A\n    two-line\ttext "));
        assertEquals(longText.substring(0, VersionInfo.MAX_TEXT - 1), VersionInfo.description(longText));
    }
}
