package org.kestro.maven;

import java.io.IOException;
import java.io.InputStream;
import java.io.UncheckedIOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.util.Comparator;
import java.util.Locale;
import java.util.Properties;
import java.util.stream.Stream;

/**
 * The build tool the plugin carries: for each platform the tool with the launcher stub and
 * the runtime jars beside it, as a release archive holds them. They are unpacked once per
 * content into a directory of their own and used from there.
 */
final class ToolBundle {
    private static final String ROOT = "org/kestro/maven/bundle/";
    private static final String COMPLETE = ".complete";

    private ToolBundle() {
    }

    /** The tool inside an unpacked release: kestro.exe on Windows, kestro elsewhere. */
    static Path homeTool(Path home, String osName) {
        boolean windows = osName.toLowerCase(Locale.ROOT).startsWith("windows");
        return home.resolve(windows ? "kestro.exe" : "kestro");
    }

    /**
     * Unpacks the platform's files below parent (in VERSION/tool-ID/PLATFORM), unless an earlier
     * build has, and returns the tool. The files are written into a fresh directory that is then
     * renamed into place, so builds that run at the same time never see a half-written tool.
     */
    static Path unpack(Path parent, String platform) throws IOException {
        Properties bundle = new Properties();
        try (InputStream in = resource("bundle.properties")) {
            bundle.load(in);
        }
        String names = bundle.getProperty(platform);
        if (names == null) throw new IOException("this plugin carries no kestro tool for " + platform);
        Path home = parent.resolve(bundle.getProperty("version")).resolve("tool-" + bundle.getProperty("id"))
                .resolve(platform);
        if (Files.isRegularFile(home.resolve(COMPLETE))) return home.resolve(Platform.toolName(platform));

        Files.createDirectories(home.getParent());
        Path fresh = Files.createTempDirectory(home.getParent(), platform + "-");
        try {
            for (String name : names.trim().split("\\s+")) {
                try (InputStream in = resource(platform + "/" + name)) {
                    Files.copy(in, fresh.resolve(name));
                }
            }
            // Readable by everyone, like the local repository's other files.
            fresh.toFile().setReadable(true, false);
            fresh.toFile().setExecutable(true, false);
            Path tool = fresh.resolve(Platform.toolName(platform));
            if (!tool.toFile().setExecutable(true, false) && !platform.equals(Platform.WINDOWS)) {
                throw new IOException("cannot make " + tool + " executable");
            }
            Files.createFile(fresh.resolve(COMPLETE));
            try {
                Files.move(fresh, home, StandardCopyOption.ATOMIC_MOVE);
            } catch (IOException e) {
                // Another build unpacked the same files first (Windows refuses the rename
                // with a denied access rather than an existing directory).
                if (!Files.isRegularFile(home.resolve(COMPLETE))) {
                    throw new IOException("cannot move the unpacked tool to " + home + " (" + e
                            + "); delete that directory and build again", e);
                }
            }
        } finally {
            removeTree(fresh);
        }
        return home.resolve(Platform.toolName(platform));
    }

    private static InputStream resource(String name) throws IOException {
        InputStream in = ToolBundle.class.getClassLoader().getResourceAsStream(ROOT + name);
        if (in == null) throw new IOException("the plugin lacks its bundled file " + name);
        return in;
    }

    private static void removeTree(Path dir) throws IOException {
        if (!Files.exists(dir)) return;
        try (Stream<Path> paths = Files.walk(dir)) {
            paths.sorted(Comparator.reverseOrder()).forEach(path -> {
                try {
                    Files.delete(path);
                } catch (IOException e) {
                    throw new UncheckedIOException(e);
                }
            });
        } catch (UncheckedIOException e) {
            throw e.getCause();
        }
    }
}
