package org.kestro.maven;

import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Collections;
import java.util.HashSet;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Set;

/**
 * What the plugin derives from the project, written as the defaults file that the build
 * tool takes beside the user's configuration (kestro build app.toml --defaults ...). The
 * tool applies these settings where the user's file sets none, and warns, naming the
 * user's line, where the user's file sets one differently; the plugin reads no TOML.
 */
final class LauncherConfig {
    /** Where the project's dependencies go. */
    enum Dependencies { INCLUDE, BESIDE }

    /** The folder beside the launcher that holds dependencies in BESIDE mode. */
    static final String LIB = "lib";

    /** A jar the application needs, and the group it came from (to tell same-named jars apart). */
    static final class Jar {
        final Path file;
        final String groupId;

        Jar(Path file, String groupId) {
            this.file = file;
            this.groupId = groupId;
        }
    }

    /** What the project gives. Fields left null are not derived. */
    static final class Input {
        String mainClass;
        Path projectJar;
        List<Jar> dependencies = new ArrayList<>();
        Dependencies mode = Dependencies.INCLUDE;
        String version;
        String name;
        String description;
        /** The user's configuration file, or null: then the plugin's settings are all there is. */
        Path configFile;
        /** The package goal: dependencies beside the launcher are installed beside it too. */
        boolean packageFiles;
    }

    static final class Result {
        /** The defaults file's text. */
        String toml;
        final List<String> warnings = new ArrayList<>();
        /** BESIDE mode: the name each dependency gets in lib/ beside the launcher. */
        final Map<String, Path> beside = new LinkedHashMap<>();
        /** The jars the defaults name. */
        final List<Path> files = new ArrayList<>();
    }

    /** A configuration the plugin cannot complete. */
    static final class ConfigException extends Exception {
        private static final long serialVersionUID = 1L;

        ConfigException(String message) {
            super(message);
        }
    }

    private final Input in;
    private final Result result = new Result();
    private final TomlWriter toml = new TomlWriter();

    private LauncherConfig(Input in) {
        this.in = in;
    }

    static Result build(Input in) throws ConfigException {
        LauncherConfig config = new LauncherConfig(in);
        config.mainClass();
        config.files();
        config.classPath();
        config.version();
        config.packageFiles();
        config.result.toml = config.toml.text();
        return config.result;
    }

    // Without a configuration file nothing else can name the main class; with one, the
    // tool says whether the file does.
    private void mainClass() throws ConfigException {
        if (in.mainClass == null) {
            if (in.configFile != null) return;
            throw new ConfigException("the application's main class is missing: set <mainClass> in the plugin's"
                    + " configuration (the class whose main method starts the application), or name a configFile"
                    + " that sets application.main_class");
        }
        toml.header("[application]").comment("<mainClass> of the plugin's configuration")
                .value("main_class", in.mainClass);
    }

    // The project's jar, and in INCLUDE mode its dependencies, become included files; the
    // tool leaves one out whose name an included file of the user's takes.
    private void files() {
        List<Jar> included = new ArrayList<>();
        if (in.projectJar != null) included.add(new Jar(in.projectJar, null));
        if (in.mode == Dependencies.INCLUDE) included.addAll(in.dependencies);
        Set<String> ours = new HashSet<>();
        for (Jar jar : included) {
            String name = uniqueName(jar, ours);
            toml.header("[[files]]").value("source", jar.file.toString());
            if (!name.equals(jar.file.getFileName().toString())) toml.value("name", name);
            result.files.add(jar.file);
        }
    }

    // BESIDE mode: each dependency is copied to lib/ beside the launcher and named on the
    // class path; the tool puts these entries after the user's own.
    private void classPath() {
        if (in.mode != Dependencies.BESIDE || in.dependencies.isEmpty()) return;
        List<Map<String, String>> entries = new ArrayList<>();
        Set<String> ours = new HashSet<>();
        for (Jar jar : in.dependencies) {
            String name = uniqueName(jar, ours);
            result.beside.put(name, jar.file);
            result.files.add(jar.file);
            entries.add(Collections.singletonMap("archive", LIB + "\\" + name));
        }
        toml.header("[classpath]").inlineTables("entries", entries);
    }

    // The version information's numbers, name and description; the user's [version]
    // replaces each of them.
    private void version() {
        Map<String, String> derived = new LinkedHashMap<>();
        if (in.version != null) {
            String fileVersion = VersionInfo.fileVersion(in.version);
            if (fileVersion != null) {
                derived.put("file_version", fileVersion);
            } else {
                result.warnings.add("the project's version \"" + in.version + "\" does not begin with numbers of"
                        + " at most 65535 each, so the launcher's file version is the tool's default unless a"
                        + " configFile sets version.file_version");
            }
        }
        if (in.name != null && !in.name.trim().isEmpty()) derived.put("product_name", in.name.trim());
        if (in.description != null && !in.description.trim().isEmpty()) {
            String description = VersionInfo.description(in.description);
            derived.put("description", description);
            if (description.length() < in.description.trim().replaceAll("\\s+", " ").length()) {
                result.warnings.add("the project's description is cut to " + description.length()
                        + " characters for the launcher's version information (a configFile's"
                        + " version.description replaces it)");
            }
        }
        if (derived.isEmpty()) return;
        toml.header("[version]").comment("the project's version, name and description");
        for (Map.Entry<String, String> entry : derived.entrySet()) toml.value(entry.getKey(), entry.getValue());
    }

    // The package goal: dependencies beside the launcher are installed in lib\ beside it,
    // after the files of the user's [package].
    private void packageFiles() {
        if (!in.packageFiles) return;
        for (Map.Entry<String, Path> jar : result.beside.entrySet()) {
            toml.header("[[package.files]]").value("source", jar.getValue().toString())
                    .value("target", LIB + "/" + jar.getKey());
        }
    }

    // A file name not yet taken among the plugin's own (compared as Windows does, ignoring
    // case): the jar's own name, else with its group in front.
    private static String uniqueName(Jar jar, Set<String> taken) {
        String name = jar.file.getFileName().toString();
        if (taken.add(name.toLowerCase(Locale.ROOT))) return name;
        String base = (jar.groupId != null ? jar.groupId + "-" : "") + name;
        String candidate = base;
        for (int i = 2; !taken.add(candidate.toLowerCase(Locale.ROOT)); i++) {
            int dot = base.lastIndexOf('.');
            candidate = dot > 0 ? base.substring(0, dot) + "-" + i + base.substring(dot) : base + "-" + i;
        }
        return candidate;
    }
}
