package com.kestro.runtime.internal;

import java.io.File;

/** The system properties through which the launcher and the library talk to each other. */
final class LauncherProperties {
    /** Set by the launcher: the executable's full path. */
    static final String MODULE_NAME = "kestro.moduleName";
    /** Set by the launcher: this run's temporary directory, empty when there is none. */
    static final String TEMP_DIR = "kestro.tempDir";
    /** Set by the application (at start or at run time) to "true": keep the temporary directory. */
    static final String KEEP_TEMP_DIR = "kestro.keepTempDir";
    /**
     * Set by the launcher in single-instance mode: the file through which later starts hand
     * over their arguments.
     */
    static final String PROCESS_COMM_FILE = "kestro.processCommFile";
    /** Set by the library to "true" when this start removed the first-run marker. */
    static final String FIRST_RUN = "kestro.firstRun";

    private LauncherProperties() {
    }

    /** The directory that holds the executable, or null when the launcher did not say. */
    static File executableDirectory() {
        return parentOf(System.getProperty(MODULE_NAME));
    }

    /** The parent directory of a path text; null for an empty or parentless path. */
    static File parentOf(String path) {
        return path == null || path.isEmpty() ? null : new File(path).getParentFile();
    }

    /**
     * {@code path} taken from {@code base} (none: as it stands) unless it is absolute. A
     * path that begins with a separator but names no drive ("\logs\app.log" on Windows)
     * is taken from the root of the base's drive, as Windows reads it.
     */
    static File resolve(File base, String path) {
        File file = new File(path);
        if (base == null || file.isAbsolute()) {
            return file;
        }
        if (path.startsWith("/") || path.startsWith(File.separator)) {
            File root = base.getAbsoluteFile();
            while (root.getParentFile() != null) {
                root = root.getParentFile();
            }
            return new File(root, path);
        }
        return new File(base, path);
    }
}
