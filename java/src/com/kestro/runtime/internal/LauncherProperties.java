package com.kestro.runtime.internal;

import java.nio.file.InvalidPathException;
import java.nio.file.Path;
import java.nio.file.Paths;

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
    static Path executableDirectory() {
        return parentOf(System.getProperty(MODULE_NAME));
    }

    /** The parent directory of a path text; null for an empty, unparsable or parentless path. */
    static Path parentOf(String path) {
        if (path == null || path.isEmpty()) {
            return null;
        }
        try {
            return Paths.get(path).getParent();
        } catch (InvalidPathException e) {
            return null;
        }
    }
}
