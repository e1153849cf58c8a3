package com.kestro.runtime.testapps;

import com.kestro.runtime.InstanceHandover;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardOpenOption;

/** Main classes for the launcher class to start. */
public final class Apps {
    public static volatile String[] received;
    public static volatile Exception thrown;

    private Apps() {
    }

    public static class Recorder {
        public static void main(String[] args) { received = args; }
    }

    // Not public, as small applications' main classes often are.
    static class Hidden {
        public static void main(String[] args) { received = args; }
    }

    public static class Thrower {
        public static void main(String[] args) throws Exception {
            thrown = args[0].equals("checked") ? new IOException("app failed") : new IllegalStateException();
            throw thrown;
        }
    }

    public static class InstanceMain {
        public void main(String[] args) { }
    }

    public static class NoMain {
        public static void main(String arg) { }
    }

    public static class Printer {
        public static void main(String[] args) { System.out.print("out;"); System.err.print("err;"); }
    }

    /** Returns, calls System.exit(3), or asks at run time to keep the temporary directory. */
    public static class TempDirUser {
        public static void main(String[] args) {
            if (args[0].equals("exit")) {
                System.exit(3);
            }
            if (args[0].equals("keep")) {
                System.setProperty("kestro.keepTempDir", "true");
            }
        }
    }

    /**
     * A single-instance application: records each argument list handed over by a later
     * start as one line "<arg><arg>..." (UTF-8) in the file of "handover.record", creates
     * the file of "handover.ready" once it listens, and returns from main when the file of
     * "handover.stop" exists (at most 120 s later). Prints "available: BOOLEAN" and the
     * number of the library's threads ("hand-over threads: N"). With "handover.listenAfter"
     * it is ready at once and registers its listener only once that file exists.
     */
    public static class HandoverRecorder {
        public static void main(String[] args) throws Exception {
            Path record = Paths.get(System.getProperty("handover.record"));
            Path ready = Paths.get(System.getProperty("handover.ready"));
            String listenAfter = System.getProperty("handover.listenAfter");
            if (listenAfter != null) {
                Files.createFile(ready);
                awaitFile(Paths.get(listenAfter));
            }
            InstanceHandover.addListener(handed -> {
                String line = handed.length == 0 ? "\n" : "<" + String.join("><", handed) + ">\n";
                try {
                    Files.writeString(record, line, StandardOpenOption.CREATE, StandardOpenOption.APPEND);
                } catch (IOException e) {
                    throw new UncheckedIOException(e);
                }
            });
            System.out.println("available: " + InstanceHandover.isAvailable());
            System.out.println("hand-over threads: " + Thread.getAllStackTraces().keySet().stream()
                    .filter(t -> t.getName().startsWith("kestro instance hand-over") && t.isDaemon()).count());
            if (listenAfter == null) {
                Files.createFile(ready);
            }
            awaitFile(Paths.get(System.getProperty("handover.stop")));
        }

        private static void awaitFile(Path file) throws InterruptedException {
            for (long deadline = System.nanoTime() + 120_000_000_000L; !Files.exists(file)
                    && System.nanoTime() - deadline < 0;) {
                Thread.sleep(10);
            }
        }
    }
}
