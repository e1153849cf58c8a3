package org.kestro.maven;

import java.nio.file.InvalidPathException;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.HashSet;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Set;

/**
 * The configuration the plugin gives the build tool: the user's configuration file, if
 * any, with what the plugin derives from the project added. The user's settings win; where
 * one takes the place of something the plugin would add, the result carries a warning that
 * names both.
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
        /** The user's configuration and its file, or null. */
        TomlTable user;
        Path configFile;
    }

    static final class Result {
        final TomlTable config;
        final List<String> warnings = new ArrayList<>();
        /** BESIDE mode: the name each dependency gets in lib/ beside the launcher. */
        final Map<String, Path> beside = new LinkedHashMap<>();

        Result(TomlTable config) {
            this.config = config;
        }
    }

    /** A configuration the plugin cannot complete. */
    static final class ConfigException extends Exception {
        private static final long serialVersionUID = 1L;

        ConfigException(String message) {
            super(message);
        }
    }

    /** Settings whose value is a file relative to the configuration file's directory. */
    private static final String[][] PATH_SETTINGS = {
        {"splash", "image"}, {"icon", "file"}, {"manifest", "file"},
        {"package", "runtime"}, {"signing", "certificate"},
    };
    /** Arrays of tables, by their dotted place, and the key of each entry that names a file. */
    private static final String[][] PATH_LIST_SETTINGS = {{"files", "source"}, {"resources", "file"},
        {"package.files", "source"}, {"package.file_associations", "icon"}};

    /** The value at a dotted place ("package.files"), or null. */
    static Object at(TomlTable root, String place) {
        String[] parts = place.split("\\.");
        TomlTable table = root;
        for (int i = 0; i < parts.length - 1 && table != null; i++) table = table.table(parts[i]);
        return table == null ? null : table.get(parts[parts.length - 1]);
    }

    private final Input in;
    private final Result result;
    private final String where;

    private LauncherConfig(Input in) {
        this.in = in;
        this.result = new Result(in.user != null ? in.user : new TomlTable(TomlTable.Origin.HEADER, 0));
        this.where = in.configFile != null ? in.configFile.toString() : "";
    }

    static Result build(Input in) throws ConfigException {
        LauncherConfig config = new LauncherConfig(in);
        if (in.user != null) config.anchorPaths();
        config.mainClass();
        config.files();
        config.classPath();
        config.version();
        return config.result;
    }

    // The configuration is written elsewhere than the user's file, so its relative paths
    // become absolute ones, taken from the user's file's directory as the tool would.
    private void anchorPaths() {
        Path base = in.configFile.toAbsolutePath().getParent();
        TomlTable root = result.config;
        for (String[] setting : PATH_SETTINGS) {
            TomlTable group = root.table(setting[0]);
            if (group != null) anchor(group, setting[1], base);
        }
        for (String[] setting : PATH_LIST_SETTINGS) {
            if (!(at(root, setting[0]) instanceof List)) continue;
            for (Object entry : (List<?>) at(root, setting[0])) {
                if (entry instanceof TomlTable) anchor((TomlTable) entry, setting[1], base);
            }
        }
    }

    /** Every file a configuration names (after {@link #build}, by absolute paths). */
    static List<Path> namedFiles(TomlTable config) {
        List<Path> files = new ArrayList<>();
        for (String[] setting : PATH_SETTINGS) {
            TomlTable group = config.table(setting[0]);
            if (group != null) addPath(files, group.string(setting[1]));
        }
        for (String[] setting : PATH_LIST_SETTINGS) {
            if (!(at(config, setting[0]) instanceof List)) continue;
            for (Object entry : (List<?>) at(config, setting[0])) {
                if (entry instanceof TomlTable) addPath(files, ((TomlTable) entry).string(setting[1]));
            }
        }
        return files;
    }

    private static void addPath(List<Path> files, String text) {
        Path path = path(text);
        if (path != null) files.add(path);
    }

    private static void anchor(TomlTable table, String key, Path base) {
        Path path = path(table.string(key));
        if (path != null && !path.isAbsolute()) {
            table.put(key, base.resolve(path).normalize().toString(), table.line(key));
        }
    }

    // A setting's text as a path, or null when it is none this system can name (the tool
    // reports such values).
    private static Path path(String text) {
        if (text == null || text.isEmpty()) return null;
        try {
            return Paths.get(text);
        } catch (InvalidPathException e) {
            return null;
        }
    }

    private void mainClass() throws ConfigException {
        TomlTable application = result.config.table("application");
        TomlTable keys = result.config.table("keys");
        String own = application != null ? application.string("main_class") : null;
        String setting = "application.main_class";
        int line = own != null ? application.line("main_class") : 0;
        if (own == null && keys != null && keys.string("122") != null) {
            own = keys.string("122");
            setting = "keys.122";
            line = keys.line("122");
        }
        if (in.mainClass != null && own != null) {
            if (!own.equals(in.mainClass)) {
                result.warnings.add(at(line) + setting + " = \"" + own + "\" wins over <mainClass>" + in.mainClass
                        + "</mainClass> of the plugin's configuration");
            }
        } else if (in.mainClass != null) {
            group("application").put("main_class", in.mainClass, 0);
        } else if (own == null && !defaultsOff()) {
            throw new ConfigException("the application's main class is missing: set <mainClass> in the plugin's"
                    + " configuration (the class whose main method starts the application)"
                    + (in.configFile != null ? ", or application.main_class in " + where : ""));
        }
    }

    // With build.defaults = false the user has taken control of what is written; the tool
    // then decides what a missing main class means.
    private boolean defaultsOff() {
        TomlTable build = result.config.table("build");
        return build != null && Boolean.FALSE.equals(build.get("defaults"));
    }

    // The project's jar, and in INCLUDE mode its dependencies, become included files; a
    // user's included file of the same name keeps its place.
    private void files() throws ConfigException {
        Map<String, String> takenName = new LinkedHashMap<>();
        Map<String, Integer> taken = new LinkedHashMap<>();
        Object files = result.config.get("files");
        if (files != null && !(files instanceof List)) {
            throw new ConfigException(at(result.config.line("files"))
                    + "files is not a list of [[files]] tables, so the plugin cannot add the application's jars to it");
        }
        if (files != null) {
            for (Object entry : (List<?>) files) {
                if (!(entry instanceof TomlTable)) continue;  // the tool reports it
                TomlTable file = (TomlTable) entry;
                String name = file.string("name") != null ? file.string("name") : fileName(file.string("source"));
                int line = file.headerLine > 0 ? file.headerLine : result.config.line("files");
                if (name == null) continue;
                String key = name.replace('\\', '/').toLowerCase(Locale.ROOT);
                taken.put(key, line);
                takenName.put(key, name);
            }
        }
        List<Jar> included = new ArrayList<>();
        if (in.projectJar != null) included.add(new Jar(in.projectJar, null));
        if (in.mode == Dependencies.INCLUDE) included.addAll(in.dependencies);
        Set<String> ours = new HashSet<>();
        for (Jar jar : included) {
            String name = uniqueName(jar, ours);
            Integer line = taken.get(name.toLowerCase(Locale.ROOT));
            if (line != null) {
                result.warnings.add(at(line) + "the included file \"" + takenName.get(name.toLowerCase(Locale.ROOT))
                        + "\" takes the place of " + jar.file + ", which would be included under the same name");
                continue;
            }
            TomlTable entry = new TomlTable(TomlTable.Origin.ADDED, 0);
            entry.put("source", jar.file.toString(), 0);
            if (!name.equals(jar.file.getFileName().toString())) entry.put("name", name, 0);
            if (files == null) {
                files = new TomlTable.TableArray();
                result.config.put("files", files, 0);
            }
            @SuppressWarnings("unchecked")
            List<Object> list = (List<Object>) files;
            list.add(entry);
        }
    }

    // BESIDE mode: each dependency is copied to lib/ beside the launcher and named on the
    // class path after the user's own entries.
    private void classPath() throws ConfigException {
        if (in.mode != Dependencies.BESIDE || in.dependencies.isEmpty()) return;
        TomlTable keys = result.config.table("keys");
        if (keys != null && keys.has("121")) {
            result.warnings.add(at(keys.line("121")) + "keys.121 sets the whole class path, so the dependencies"
                    + " copied to " + LIB + "/ are not on it");
            return;
        }
        TomlTable classpath = group("classpath");
        Object existing = classpath.get("entries");
        if (existing != null && !(existing instanceof List)) {
            throw new ConfigException(at(classpath.line("entries"))
                    + "classpath.entries is not a list, so the plugin cannot add the dependencies to it");
        }
        List<Object> entries = new ArrayList<>();
        Set<String> listed = new HashSet<>();
        if (existing != null) {
            for (Object entry : (List<?>) existing) {
                entries.add(entry);
                if (entry instanceof TomlTable && ((TomlTable) entry).string("archive") != null) {
                    listed.add(((TomlTable) entry).string("archive").replace('/', '\\').toLowerCase(Locale.ROOT));
                }
            }
        }
        Set<String> ours = new HashSet<>();
        for (Jar jar : in.dependencies) {
            String name = uniqueName(jar, ours);
            result.beside.put(name, jar.file);
            String archive = LIB + "\\" + name;
            if (!listed.add(archive.toLowerCase(Locale.ROOT))) continue;
            TomlTable entry = new TomlTable(TomlTable.Origin.INLINE, 0);
            entry.put("archive", archive, 0);
            entries.add(entry);
        }
        classpath.put("entries", entries, existing != null ? classpath.line("entries") : 0);
    }

    // The version information's numbers, name and description, where the user sets none.
    private void version() throws ConfigException {
        TomlTable user = result.config.table("version");
        if (user != null && Boolean.FALSE.equals(user.get("generate"))) return;
        if (user == null && result.config.has("version")) return;  // not a table: the tool says so
        Map<String, String> derived = new LinkedHashMap<>();
        if (in.version != null) {
            String fileVersion = VersionInfo.fileVersion(in.version);
            if (fileVersion != null) {
                derived.put("file_version", fileVersion);
            } else if (user == null || !user.has("file_version")) {
                result.warnings.add("the project's version \"" + in.version + "\" does not begin with numbers of"
                        + " at most 65535 each, so the launcher's file version is the tool's default; set"
                        + " version.file_version in a configFile to choose one");
            }
        }
        if (in.name != null && !in.name.trim().isEmpty()) derived.put("product_name", in.name.trim());
        if (in.description != null && !in.description.trim().isEmpty()) {
            String description = VersionInfo.description(in.description);
            derived.put("description", description);
            if (description.length() < in.description.trim().replaceAll("\\s+", " ").length()
                    && (user == null || !user.has("description"))) {
                result.warnings.add("the project's description is cut to " + description.length()
                        + " characters for the launcher's version information");
            }
        }
        TomlTable version = null;
        for (Map.Entry<String, String> entry : derived.entrySet()) {
            if (user != null && user.has(entry.getKey())) continue;
            if (version == null) version = group("version");
            version.put(entry.getKey(), entry.getValue(), 0);
        }
    }

    // The table of a group, made when absent.
    private TomlTable group(String name) throws ConfigException {
        Object value = result.config.get(name);
        if (value == null) {
            TomlTable created = new TomlTable(TomlTable.Origin.ADDED, 0);
            result.config.put(name, created, 0);
            return created;
        }
        if (!(value instanceof TomlTable)) {
            throw new ConfigException(at(result.config.line(name)) + name
                    + " is not a table, so the plugin cannot add its settings to it");
        }
        return (TomlTable) value;
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

    private static String fileName(String source) {
        if (source == null) return null;
        String normal = source.replace('\\', '/');
        return normal.substring(normal.lastIndexOf('/') + 1);
    }

    private String at(int line) {
        if (where.isEmpty()) return "";
        return line > 0 ? where + ":" + line + ": " : where + ": ";
    }
}
