package com.kestro.runtime.internal;

import java.io.File;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.PrintStream;
import java.lang.reflect.Method;

/** Sends the application's standard error and output to the files the launcher names. */
final class StandardStreams {
    // System.setErr and System.setOut, looked up at run time: a runtime whose class
    // library lacks them (Avian's) cannot redirect, and says so instead of failing.
    private static final Method SET_ERR = systemSetter("setErr");
    private static final Method SET_OUT = systemSetter("setOut");

    private StandardStreams() {
    }

    /**
     * Points {@code System.err} and {@code System.out} at the files of {@code errorLog}
     * and {@code outputLog} (see {@link #target}); an empty value, or one that names
     * nothing, leaves that stream alone. The files start empty unless {@code append}.
     * Both values naming the same file share one stream, so that neither overwrites what
     * the other wrote. A file that cannot be opened costs one line on standard error and
     * leaves its stream alone: the application runs regardless.
     */
    static void redirect(String errorLog, String outputLog, boolean append) {
        File base = LauncherProperties.executableDirectory();
        File errFile = target(errorLog, base);
        File outFile = target(outputLog, base);
        if (SET_ERR == null || SET_OUT == null) {
            cannotReplace(errFile, "standard error", "System.err");
            cannotReplace(outFile, "standard output", "System.out");
            return;
        }
        PrintStream err = errFile == null ? null : open(errFile, append, "standard error");
        PrintStream out;
        if (err != null && outFile != null && sameFile(errFile, outFile)) {
            out = err;
        } else {
            out = outFile == null ? null : open(outFile, append, "standard output");
        }
        if (err != null) {
            set(SET_ERR, err);
        }
        if (out != null) {
            set(SET_OUT, out);
        }
    }

    /**
     * The file that a redirect value names, or null for none. A value beginning with "$"
     * names a system property, or when that is unset or empty an environment variable,
     * that holds the path; neither set means no redirect. A relative path is taken from
     * the executable's directory when the launcher gave it, else from the current one.
     */
    static File target(String value, File baseDirectory) {
        if (value == null || value.isEmpty()) {
            return null;
        }
        String path = value;
        if (value.startsWith("$")) {
            String name = value.substring(1);
            path = name.isEmpty() ? null : System.getProperty(name);
            if (path == null || path.isEmpty()) {
                path = name.isEmpty() ? null : System.getenv(name);
            }
            if (path == null || path.isEmpty()) {
                return null;
            }
        }
        return LauncherProperties.resolve(baseDirectory, path);
    }

    private static PrintStream open(File file, boolean append, String streamName) {
        try {
            File parent = file.getAbsoluteFile().getParentFile();
            if (parent != null) {
                parent.mkdirs();  // when it fails, opening the file says why
            }
            // Unbuffered below the print stream: every print reaches the file, even when the
            // VM ends without flushing.
            return new PrintStream(new FileOutputStream(file.getPath(), append), true);
        } catch (IOException | RuntimeException e) {
            System.err.println("Cannot redirect " + streamName + " to " + file + ": " + e);
            return null;
        }
    }

    private static Method systemSetter(String name) {
        try {
            return System.class.getMethod(name, PrintStream.class);
        } catch (NoSuchMethodException | RuntimeException e) {
            return null;
        }
    }

    private static void set(Method setter, PrintStream stream) {
        try {
            setter.invoke(null, stream);
        } catch (Exception e) {
            throw new IllegalStateException(e);  // a public static method of System
        }
    }

    private static void cannotReplace(File file, String streamName, String field) {
        if (file != null) {
            System.err.println("Cannot redirect " + streamName + " to " + file + ": this Java runtime cannot replace "
                    + field);
        }
    }

    private static boolean sameFile(File a, File b) {
        return canonical(a).equals(canonical(b));
    }

    private static File canonical(File file) {
        try {
            return file.getCanonicalFile();
        } catch (Exception e) {  // an IOException, where the runtime declares one
            return file.getAbsoluteFile();
        }
    }
}
