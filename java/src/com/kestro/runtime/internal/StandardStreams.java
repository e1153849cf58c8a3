package com.kestro.runtime.internal;

import java.io.FileOutputStream;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.file.Files;
import java.nio.file.InvalidPathException;
import java.nio.file.Path;
import java.nio.file.Paths;

/** Sends the application's standard error and output to the files the launcher names. */
final class StandardStreams {
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
        Path base = LauncherProperties.executableDirectory();
        Path errPath = target(errorLog, base, "standard error");
        Path outPath = target(outputLog, base, "standard output");
        PrintStream err = errPath == null ? null : open(errPath, append, "standard error");
        PrintStream out;
        if (err != null && outPath != null && sameFile(errPath, outPath)) {
            out = err;
        } else {
            out = outPath == null ? null : open(outPath, append, "standard output");
        }
        if (err != null) {
            System.setErr(err);
        }
        if (out != null) {
            System.setOut(out);
        }
    }

    /**
     * The file that a redirect value names, or null for none. A value beginning with "$"
     * names a system property, or when that is unset or empty an environment variable,
     * that holds the path; neither set means no redirect. A relative path is taken from
     * the executable's directory when the launcher gave it, else from the current one.
     */
    static Path target(String value, Path baseDirectory, String streamName) {
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
        try {
            Path file = Paths.get(path);
            return baseDirectory == null ? file : baseDirectory.resolve(file);
        } catch (InvalidPathException e) {
            System.err.println("Cannot redirect " + streamName + " to " + path + ": " + e.getMessage());
            return null;
        }
    }

    private static PrintStream open(Path file, boolean append, String streamName) {
        try {
            Path parent = file.toAbsolutePath().getParent();
            if (parent != null) {
                Files.createDirectories(parent);
            }
            // Unbuffered below the print stream: every print reaches the file, even when the
            // VM ends without flushing.
            return new PrintStream(new FileOutputStream(file.toFile(), append), true);
        } catch (IOException | RuntimeException e) {
            System.err.println("Cannot redirect " + streamName + " to " + file + ": " + e);
            return null;
        }
    }

    private static boolean sameFile(Path a, Path b) {
        return a.toAbsolutePath().normalize().equals(b.toAbsolutePath().normalize());
    }
}
