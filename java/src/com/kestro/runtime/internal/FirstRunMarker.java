package com.kestro.runtime.internal;

import java.io.File;
import java.io.IOException;
import java.util.zip.ZipFile;

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
        File appDir = applicationDirectory(classPathEntryOf(anchor, System.getProperty("java.class.path", "")),
                System.getProperty(LauncherProperties.MODULE_NAME));
        if (appDir == null) {
            return true;
        }
        File marker = new File(new File(appDir, ".velmora"), "firstrun");
        if (FileLinks.SYSTEM.kindOf(marker) == FileLinks.Kind.MISSING) {
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
    static File applicationDirectory(File runtimeJar, String moduleName) {
        File jarDir = runtimeJar == null ? null : runtimeJar.getAbsoluteFile().getParentFile();
        if (jarDir != null && jarDir.getParentFile() != null && jarDir.getName().equalsIgnoreCase(".velmora")) {
            return jarDir.getParentFile();
        }
        return LauncherProperties.parentOf(moduleName);
    }

    /**
     * The entry of {@code classPath} that the class path's loader takes {@code anchor}
     * from: the first directory or archive that holds its class file (an empty entry is
     * the current directory, as the VM reads it). Null when none does. The launcher loads
     * its classes through that loader; the class's code source would name the same file,
     * but reading it would take java.net and java.security, which the library does without.
     */
    static File classPathEntryOf(Class<?> anchor, String classPath) {
        String classFile = anchor.getName().replace('.', '/') + ".class";
        int from = 0;
        while (from <= classPath.length()) {
            int end = classPath.indexOf(File.pathSeparatorChar, from);
            if (end < 0) {
                end = classPath.length();
            }
            File entry = new File(end == from ? "." : classPath.substring(from, end));
            if (entry.isDirectory() ? new File(entry, classFile).isFile() : holds(entry, classFile)) {
                return entry;
            }
            from = end + 1;
        }
        return null;
    }

    private static boolean holds(File archive, String name) {
        if (!archive.isFile()) {
            return false;
        }
        try {
            ZipFile zip = new ZipFile(archive);
            try {
                return zip.getEntry(name) != null;
            } finally {
                zip.close();
            }
        } catch (IOException | RuntimeException e) {
            return false;
        }
    }
}
