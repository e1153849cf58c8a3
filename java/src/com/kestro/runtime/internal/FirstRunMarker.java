package com.kestro.runtime.internal;

import java.net.URISyntaxException;
import java.net.URL;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.security.CodeSource;

/** The first-run marker ".velmora/firstrun" below the application directory. */
public final class FirstRunMarker {
    private FirstRunMarker() {
    }

    /**
     * Removes the marker, if present, and then sets "kestro.firstRun" to "true" for the
     * application to see. The application directory is found as {@link #applicationDirectory}
     * says, from where {@code anchor} was loaded. A marker that cannot be removed costs one
     * line on standard error. Returns true: the start goes on.
     */
    public static boolean consume(Class<?> anchor) {
        Path appDir = applicationDirectory(codeLocation(anchor),
                System.getProperty(LauncherProperties.MODULE_NAME));
        if (appDir == null) {
            return true;
        }
        Path marker = appDir.resolve(".velmora").resolve("firstrun");
        if (Files.notExists(marker, LinkOption.NOFOLLOW_LINKS)) {
            return true;
        }
        if (!TreeRemoval.remove(marker)) {
            System.err.println("Cannot remove the first-run marker " + marker
                    + "; the next start counts as a first run again");
        }
        System.setProperty(LauncherProperties.FIRST_RUN, "true");
        return true;
    }

    /**
     * The application directory: the parent of the ".velmora" directory that holds the
     * runtime jar, which is where the launcher of a velmora installation takes it from;
     * for a jar anywhere else (or none), the directory of the executable
     * ({@code moduleName}). Null when neither gives one.
     */
    static Path applicationDirectory(Path runtimeJar, String moduleName) {
        Path jarDir = runtimeJar == null ? null : runtimeJar.getParent();
        if (jarDir != null && jarDir.getParent() != null && jarDir.getFileName() != null
                && jarDir.getFileName().toString().equalsIgnoreCase(".velmora")) {
            return jarDir.getParent();
        }
        return LauncherProperties.parentOf(moduleName);
    }

    /** The file that {@code anchor} was loaded from, or null when that is not a local file. */
    private static Path codeLocation(Class<?> anchor) {
        try {
            CodeSource source = anchor.getProtectionDomain().getCodeSource();
            URL location = source == null ? null : source.getLocation();
            return location == null ? null : Paths.get(location.toURI());
        } catch (URISyntaxException | RuntimeException e) {
            return null;
        }
    }
}
