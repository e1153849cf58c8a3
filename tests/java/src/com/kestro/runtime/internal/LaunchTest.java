package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertSame;
import static org.junit.jupiter.api.Assertions.assertThrows;

import com.kestro.runtime.testapps.Apps;
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

    @Test
    void aLaunchThatCannotBeginFailsWithOneLineNamingTheCause() {
        String[][] cases = {
            {"Missing", "main class \"" + APPS + "Missing\" not found"},
            {"InstanceMain", "class \"" + APPS + "InstanceMain\" has no method public static void main(String[])"},
        };
        for (String[] c : cases) {
            LaunchFailure failure = assertThrows(LaunchFailure.class,
                    () -> com.kestro.runtime.WinLauncher.main(launcherArgs(c[0], "app.exe")));
            assertEquals("Cannot start the application: " + c[1], failure.toString());
            assertEquals(0, failure.getStackTrace().length);
        }
        assertThrows(LaunchFailure.class, () -> com.kestro.runtime.WinLauncher.main(new String[] {"false"}));
    }
}
