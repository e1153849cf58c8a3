package org.kestro.maven;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.io.UncheckedIOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.CompletableFuture;

/** One run of the build tool, and what its messages become in the Maven build. */
final class ToolRun {
    final int exitCode;
    final String out;
    final String err;

    private ToolRun(int exitCode, String out, String err) {
        this.exitCode = exitCode;
        this.out = out;
        this.err = err;
    }

    /** Runs a command to its end, its two output streams read apart. */
    static ToolRun run(List<String> command, Path directory) throws IOException, InterruptedException {
        Process process = new ProcessBuilder(command).directory(directory.toFile()).start();
        process.getOutputStream().close();
        CompletableFuture<String> out = CompletableFuture.supplyAsync(() -> readAll(process.getInputStream()));
        String err = readAll(process.getErrorStream());
        int code = process.waitFor();
        return new ToolRun(code, out.join(), err);
    }

    private static String readAll(InputStream in) {
        try {
            ByteArrayOutputStream bytes = new ByteArrayOutputStream();
            byte[] buffer = new byte[8192];
            for (int n; (n = in.read(buffer)) > 0; ) bytes.write(buffer, 0, n);
            return new String(bytes.toByteArray(), StandardCharsets.UTF_8);
        } catch (IOException e) {
            throw new UncheckedIOException(e);
        }
    }

    /** The tool's messages sorted for Maven's log. */
    static final class Messages {
        final List<String> warnings = new ArrayList<>();
        final List<String> others = new ArrayList<>();
    }

    /** Sorts the tool's standard error into warnings and the rest. */
    static Messages messages(String err) {
        Messages messages = new Messages();
        for (String line : err.split("\r?\n")) {
            if (line.trim().isEmpty()) continue;
            (line.contains(": warning: ") ? messages.warnings : messages.others).add(line);
        }
        return messages;
    }
}
