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

    // With a user's file at FILE.
    private static LauncherConfig.Result build(LauncherConfig.Input in, String userToml) throws Exception {
        in.user = TomlReader.read(userToml);
        in.configFile = FILE;
        return LauncherConfig.build(in);
    }

    private static String jar(String path) {
        return Paths.get(path).toString().replace("\\", "\\\\");
    }

    // What the plugin writes for the smallest configuration, each way of placing the
    // dependencies.
    @Test
    void writesTheProjectsSettings() throws Exception {
        String head = "[application]\nmain_class = \"com.acme.Main\"\n\n[[files]]\nsource = \""
                + jar("/work/app/target/app-1.0.jar") + "\"\n";
        String version = "\n[version]\nfile_version = \"1.0.0\"\nproduct_name = \"Acme App\"\n";
        String[][] cases = {
            {"INCLUDE", head + "\n[[files]]\nsource = \"" + jar("/repo/org/lib/1.0/lib-1.0.jar") + "\"\n" + version},
            {"BESIDE", head + "\n[classpath]\nentries = [{ archive = \"lib\\\\lib-1.0.jar\" }]\n" + version},
        };
        for (String[] c : cases) {
            LauncherConfig.Input in = project();
            in.mode = LauncherConfig.Dependencies.valueOf(c[0]);
            LauncherConfig.Result result = LauncherConfig.build(in);
            assertEquals(c[1], TomlWriter.write(result.config).text, c[0]);
            assertEquals(Collections.emptyList(), result.warnings, c[0]);
        }
    }

    // A user's file: its settings stay, the plugin adds what the file leaves out, and each
    // setting that takes the place of the plugin's is reported where it was written.
    @Test
    void mergesAUsersFile() throws Exception {
        String where = FILE + ":";
        String[][] cases = {
            // user's file; what the written configuration holds; the warnings
            {"[application]\nmain_class = \"com.acme.Other\"\n",
             "main_class = \"com.acme.Other\"",
             where + "2: application.main_class = \"com.acme.Other\" wins over <mainClass>com.acme.Main</mainClass>"
                     + " of the plugin's configuration"},
            {"[keys]\n122 = \"com.acme.Main\"\n", "!main_class", ""},
            {"[[files]]\nsource = \"build/App-1.0.JAR\"\n",
             "source = \"" + jar("/work/app/src/build/App-1.0.JAR") + "\"\n\n[[files]]\nsource = \""
                     + jar("/repo/org/lib/1.0/lib-1.0.jar"),
             where + "1: the included file \"App-1.0.JAR\" takes the place of " + DIR.resolve("target/app-1.0.jar")
                     + ", which would be included under the same name"},
            {"[splash]\nimage = \"img/splash.png\"\n[icon]\nfile = \"" + jar("/abs/app.ico") + "\"\n"
                     + "[[resources]]\ntype = 10\nid = 1\nfile = \"../r.bin\"\n",
             "image = \"" + jar("/work/app/src/img/splash.png") + "\"\n\n[icon]\nfile = \"" + jar("/abs/app.ico")
                     + "\"\n\n[[resources]]\ntype = 10\nid = 1\nfile = \"" + jar("/work/app/r.bin") + "\"", ""},
            {"[version]\nfile_version = \"3.0.0\"\n",
             "[version]\nfile_version = \"3.0.0\"\nproduct_name = \"Acme App\"\n", ""},
            {"[version]\ngenerate = false\n", "[version]\ngenerate = false\n\n", ""},
            // The files of [package] and [signing] are the configuration file's too.
            {"[package]\nruntime = \"jre\"\n[[package.files]]\nsource = \"data/a.txt\"\n"
                     + "[[package.file_associations]]\nicon = \"doc.ico\"\n[signing]\ncertificate = \"../key.p12\"\n",
             "runtime = \"" + jar("/work/app/src/jre") + "\"\n\n[[package.files]]\nsource = \""
                     + jar("/work/app/src/data/a.txt") + "\"\n\n[[package.file_associations]]\nicon = \""
                     + jar("/work/app/src/doc.ico") + "\"\n\n[signing]\ncertificate = \"" + jar("/work/app/key.p12") + "\"",
             ""},
            {"version = { company = \"Acme\" }\n",
             "version = { company = \"Acme\", file_version = \"1.0.0\", product_name = \"Acme App\" }", ""},
        };
        for (String[] c : cases) {
            LauncherConfig.Result result = build(project(), c[0]);
            String written = TomlWriter.write(result.config).text + "\n";
            if (c[1].startsWith("!")) {
                assertTrue(!written.contains(c[1].substring(1)), written);
            } else {
                assertTrue(written.contains(c[1]), c[0] + " gave:\n" + written);
            }
            assertEquals(c[2].isEmpty() ? Collections.emptyList() : Arrays.asList(c[2]), result.warnings, c[0]);
        }
    }

    // BESIDE: the dependencies follow the user's class path, same-named jars of two groups
    // both get a place, and an entry the user already lists is not added twice.
    @Test
    void putsDependenciesBesideOnTheClassPath() throws Exception {
        LauncherConfig.Input in = project();
        in.mode = LauncherConfig.Dependencies.BESIDE;
        in.dependencies.add(new LauncherConfig.Jar(Paths.get("/repo/org/other/1.0/lib-1.0.jar"), "org.other"));
        in.dependencies.add(new LauncherConfig.Jar(Paths.get("/repo/x/1.0/x-1.0.jar"), "x"));
        String user = "[classpath]\nentries = [{ scan = \"plugins\" }, { archive = \"LIB/x-1.0.jar\" }]\n";
        LauncherConfig.Result result = build(in, user);
        assertTrue(TomlWriter.write(result.config).text.contains(
                "entries = [{ scan = \"plugins\" }, { archive = \"LIB/x-1.0.jar\" },"
                + " { archive = \"lib\\\\lib-1.0.jar\" }, { archive = \"lib\\\\org.other-lib-1.0.jar\" }]"));
        assertEquals(Arrays.asList("lib-1.0.jar", "org.other-lib-1.0.jar", "x-1.0.jar"),
                Arrays.asList(result.beside.keySet().toArray()));
    }

    // Without a main class the plugin stops and says where to give one, unless the user's
    // file has taken control of the defaults.
    @Test
    void needsAMainClass() throws Exception {
        LauncherConfig.Input in = project();
        in.mainClass = null;
        LauncherConfig.ConfigException e =
                assertThrows(LauncherConfig.ConfigException.class, () -> build(in, "[vm]\noptions = \"-Xmx1g\"\n"));
        assertEquals("the application's main class is missing: set <mainClass> in the plugin's configuration (the"
                + " class whose main method starts the application), or application.main_class in " + FILE,
                e.getMessage());
        build(in, "[build]\ndefaults = false\n");
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
