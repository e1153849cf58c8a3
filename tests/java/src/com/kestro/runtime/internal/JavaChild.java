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

/** Runs a class in a VM of its own, for what only the end of a VM or the VM itself shows. */
final class JavaChild {
    static final Path KESTRO_JAR = Paths.get(System.getProperty("kestro.test.kestroJar"));
    static final Path VELMORA_JAR = Paths.get(System.getProperty("kestro.test.velmoraJar"));
    static final Path TEST_JAR = Paths.get(System.getProperty("kestro.test.testJar"));

    record Result(int exitCode, String out, String err) {
    }

    private final List<String> command = new ArrayList<>();
    private final Map<String, String> environment = new HashMap<>();

    JavaChild(Path... classPath) {
        command.add(Paths.get(System.getProperty("java.home"), "bin", "java").toString());
        command.add("-cp");
        command.add(String.join(File.pathSeparator, List.of(classPath).stream().map(Path::toString).toList()));
    }

    /** A child VM with the kestro-flavour jar and the test applications. */
    static JavaChild kestro() {
        return new JavaChild(KESTRO_JAR, TEST_JAR);
    }

    JavaChild property(String name, Object value) {
        command.add(1, "-D" + name + "=" + value);
        return this;
    }

    JavaChild env(String name, String value) {
        environment.put(name, value);
        return this;
    }

    /** Calls the kestro launcher class as a launcher would, the executable being app.exe. */
    Result launchWith(String app, String errorLog, String outputLog, String append, String... program)
            throws Exception {
        List<String> args = new ArrayList<>(List.of("false", app, errorLog, outputLog, append, "app.exe"));
        args.addAll(List.of(program));
        return run("com.kestro.runtime.WinLauncher", args.toArray(new String[0]));
    }

    Result launch(String app, String... program) throws Exception {
        return launchWith(app, "", "", "false", program);
    }

    /** Starts the kestro launcher class on {@code app} without waiting; output and errors are piped. */
    Process start(String app, String... program) throws Exception {
        List<String> full = new ArrayList<>(command);
        full.addAll(List.of("com.kestro.runtime.WinLauncher", "false", app, "", "", "false", "app.exe"));
        full.addAll(List.of(program));
        ProcessBuilder builder = new ProcessBuilder(full);
        builder.environment().putAll(environment);
        return builder.start();
    }

    Result run(String mainClass, String... args) throws Exception {
        List<String> full = new ArrayList<>(command);
        full.add(mainClass);
        full.addAll(List.of(args));
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
