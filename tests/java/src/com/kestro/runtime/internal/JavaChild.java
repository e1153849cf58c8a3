package com.kestro.runtime.internal;

import java.io.File;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.concurrent.TimeUnit;

/**
 * Runs a class in a VM of its own, for what only the end of a VM shows (shutdown hooks)
 * or what the VM itself prints. The jars come from the properties the test run sets.
 */
final class JavaChild {
    static final Path KESTRO_JAR = jar("kestro.test.kestroJar");
    static final Path VELMORA_JAR = jar("kestro.test.velmoraJar");
    static final Path TEST_JAR = jar("kestro.test.testJar");

    record Result(int exitCode, String out, String err) {
    }

    private final List<String> classPath = new ArrayList<>();
    private final List<String> vmOptions = new ArrayList<>();
    private final Map<String, String> environment = new HashMap<>();

    JavaChild(Path... classPath) {
        for (Path p : classPath) {
            this.classPath.add(p.toString());
        }
    }

    /** A child with the kestro-flavour jar and the test applications on its class path. */
    static JavaChild kestro() {
        return new JavaChild(KESTRO_JAR, TEST_JAR);
    }

    JavaChild property(String name, String value) {
        vmOptions.add("-D" + name + "=" + value);
        return this;
    }

    JavaChild env(String name, String value) {
        environment.put(name, value);
        return this;
    }

    /** Runs the kestro launcher class as a launcher would: no redirects, executable app.exe. */
    Result launch(String mainClass, String... programArguments) throws Exception {
        List<String> args = new ArrayList<>(List.of("false", mainClass, "", "", "false", "app.exe"));
        args.addAll(Arrays.asList(programArguments));
        return run("com.kestro.runtime.WinLauncher", args.toArray(new String[0]));
    }

    Result run(String mainClass, String... args) throws Exception {
        List<String> command = new ArrayList<>();
        command.add(Paths.get(System.getProperty("java.home"), "bin", "java").toString());
        command.add("-cp");
        command.add(String.join(File.pathSeparator, classPath));
        command.addAll(vmOptions);
        command.add(mainClass);
        command.addAll(Arrays.asList(args));
        Path out = Files.createTempFile("child", ".out");
        Path err = Files.createTempFile("child", ".err");
        try {
            ProcessBuilder builder = new ProcessBuilder(command).redirectOutput(out.toFile())
                    .redirectError(err.toFile());
            builder.environment().putAll(environment);
            Process process = builder.start();
            if (!process.waitFor(60, TimeUnit.SECONDS)) {
                process.destroyForcibly();
                throw new IOException("child VM did not end: " + command);
            }
            return new Result(process.exitValue(), Files.readString(out, StandardCharsets.UTF_8),
                    Files.readString(err, StandardCharsets.UTF_8));
        } finally {
            Files.deleteIfExists(out);
            Files.deleteIfExists(err);
        }
    }

    private static Path jar(String property) {
        String value = System.getProperty(property);
        if (value == null) {
            throw new IllegalStateException("the test run must set " + property);
        }
        return Paths.get(value);
    }
}
