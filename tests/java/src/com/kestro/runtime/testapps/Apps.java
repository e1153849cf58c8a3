package com.kestro.runtime.testapps;

import com.velmora.runtime.launcher.FirstRun;
import java.io.IOException;

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

    /** Calls the first-run hook as a velmora launcher does, and prints what followed. */
    public static class FirstRunProbe {
        public static void main(String[] args) {
            System.out.print(FirstRun.firstRun() + " " + System.getProperty("kestro.firstRun"));
        }
    }
}
