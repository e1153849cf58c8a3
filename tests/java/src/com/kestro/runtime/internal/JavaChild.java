package com.kestro.runtime.internal;

import java.io.File;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.concurrent.TimeUnit;

/** Runs the launcher class in a VM of its own, for what only the end of a VM or the VM itself shows. */
final class JavaChild {
    static final Path VELMORA_JAR = Paths.get(System.getProperty("kestro.test.velmoraJar"));
    static final Path TEST_JAR = Paths.get(System.getProperty("kestro.test.testJar"));

    record Result(int exitCode, String out, String err) {
    }

    private final List<String> command = new ArrayList<>(List.of(
            Paths.get(System.getProperty("java.home"), "bin", "java").toString(), "-cp",
            System.getProperty("kestro.test.kestroJar") + File.pathSeparator + TEST_JAR));
    private final Map<String, String> environment = new HashMap<>();

    static JavaChild kestro() {
        return new JavaChild();
    }

    JavaChild property(String name, Object value) {
        command.add(1, "-D" + name + "=" + value);
        return this;
    }

    JavaChild env(String name, String value) {
        environment.put(name, value);
        return this;
    }

    Result launch(String app, String... program) throws Exception {
        return launchWith(app, "", "", "false", program);
    }

    /** Calls the launcher class as a launcher would, the executable being app.exe. */
    Result launchWith(String app, String errorLog, String outputLog, String append, String... program)
            throws Exception {
        List<String> full = new ArrayList<>(command);
        full.addAll(List.of("com.kestro.runtime.WinLauncher", "false", app, errorLog, outputLog, append, "app.exe"));
        full.addAll(List.of(program));
        Path out = Files.createTempFile("child", ".out");
        Path err = Files.createTempFile("child", ".err");
        try {
            ProcessBuilder builder = new ProcessBuilder(full).redirectOutput(out.toFile()).redirectError(err.toFile());
            builder.environment().putAll(environment);
            Process process = builder.start();
            if (!process.waitFor(60, TimeUnit.SECONDS)) {
                process.destroyForcibly();
                throw new AssertionError("child VM did not end: " + full);
            }
            return new Result(process.exitValue(), Files.readString(out), Files.readString(err));
        } finally {
            Files.delete(out);
            Files.delete(err);
        }
    }
}
