package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertSame;
import static org.junit.jupiter.api.Assertions.assertThrows;

import com.kestro.runtime.testapps.Apps;
import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;

class LaunchTest {
    private static final String APPS = Apps.class.getName() + "$";

    private static String[] launcherArgs(String app, String... rest) {
        return Stream.concat(Stream.of("false", APPS + app, "", "", "false"), Stream.of(rest)).toArray(String[]::new);
    }

    @Test
    void theProgramArgumentsFollowTheExecutableExactlyInBothFlavours() {
        String[] program = {"a", "b c", "", "-Dx=y", "\"q\"", "Grüße ☃ 𝄞", "-J-Xmx1g"};
        String[] args = launcherArgs("Recorder", "C:\\Program Files\\App\\app.exe");
        com.kestro.runtime.WinLauncher.main(Stream.concat(Stream.of(args), Stream.of(program)).toArray(String[]::new));
        assertArrayEquals(program, Apps.received);
        // A main class that is not public, and a launcher that passed no executable at all.
        com.velmora.runtime.launcher.WinLauncher.main(launcherArgs("Hidden", "app.exe", "x"));
        assertArrayEquals(new String[] {"x"}, Apps.received);
        com.kestro.runtime.WinLauncher.main(launcherArgs("Recorder"));
        assertArrayEquals(new String[0], Apps.received);
    }

    @Test
    void theApplicationsExceptionsLeaveUnwrapped() {
        for (String kind : new String[] {"checked", "unchecked"}) {
            Throwable thrown = assertThrows(Throwable.class,
                    () -> com.kestro.runtime.WinLauncher.main(launcherArgs("Thrower", "app.exe", kind)));
            assertSame(Apps.thrown, thrown, kind);
        }
    }

    // What java itself prints for each, on the library's standard error; the launcher
    // reads only the message's number.
    @Test
    void aLaunchThatCannotBeginSaysWhatJavaSaysAndNamesTheLaunchersMessage() {
        String define = ", please define the main method as:\n   public static void main(String[] args)";
        String[][] cases = {
            {"Missing", "1010", "Error: Could not find or load main class " + APPS + "Missing\n"
                    + "Caused by: java.lang.ClassNotFoundException: " + APPS + "Missing"},
            {"InstanceMain", "1011", "Error: Main method is not static in class " + APPS + "InstanceMain" + define},
            {"NoMain", "1011", "Error: Main method not found in class " + APPS + "NoMain" + define},
        };
        PrintStream err = System.err;
        try {
            for (String[] c : cases) {
                ByteArrayOutputStream printed = new ByteArrayOutputStream();
                System.setErr(new PrintStream(printed, true));
                LaunchFailure failure = assertThrows(LaunchFailure.class,
                        () -> com.kestro.runtime.WinLauncher.main(launcherArgs(c[0], "app.exe")));
                assertEquals("com.kestro.runtime.internal.LaunchFailure: " + c[1], failure.toString(), c[0]);
                assertEquals(c[2].replace("\n", System.lineSeparator()) + System.lineSeparator(), printed.toString(),
                        c[0]);
                assertEquals(0, failure.getStackTrace().length);
            }
        } finally {
            System.setErr(err);
        }
        assertThrows(IllegalArgumentException.class, () -> com.kestro.runtime.WinLauncher.main(new String[] {"false"}));
    }
}
