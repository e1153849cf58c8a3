package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertSame;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.kestro.runtime.testapps.Recorder;
import com.kestro.runtime.testapps.Thrower;
import java.io.IOException;
import java.util.function.Consumer;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;

class LaunchTest {
    private static final String RECORDER = Recorder.class.getName();

    private static final Consumer<String[]> KESTRO = com.kestro.runtime.WinLauncher::main;
    private static final Consumer<String[]> VELMORA = com.velmora.runtime.launcher.WinLauncher::main;

    @BeforeEach
    void forget() {
        Recorder.received = null;
    }

    @Test
    void bothFlavoursPassTheProgramArgumentsExactly() {
        String[] program = {"a", "b c", "", "  ", "-Dx=y", "\"q\"", "Grüße ☃ 𝄞", "-J-Xmx1g"};
        for (Consumer<String[]> flavour : java.util.List.of(KESTRO, VELMORA)) {
            Recorder.received = null;
            flavour.accept(launcherArgs(RECORDER, "C:\\Program Files\\App\\app.exe", program));
            assertArrayEquals(program, Recorder.received);
        }
    }

    @Test
    void theExecutableIsNotAProgramArgument() {
        KESTRO.accept(launcherArgs(RECORDER, "app.exe"));
        assertArrayEquals(new String[0], Recorder.received);
        // A launcher started with an empty command line passes no executable at all.
        KESTRO.accept(new String[] {"true", RECORDER, "", "", "true"});
        assertArrayEquals(new String[0], Recorder.received);
    }

    @Test
    void slashesInTheMainClassAreAccepted() {
        KESTRO.accept(launcherArgs(RECORDER.replace('.', '/'), "app.exe", "x"));
        assertArrayEquals(new String[] {"x"}, Recorder.received);
    }

    @Test
    void aMainClassNeedNotBePublic() {
        KESTRO.accept(launcherArgs("com.kestro.runtime.testapps.HiddenMain", "app.exe", "x"));
        assertArrayEquals(new String[] {"x"}, Recorder.received);
    }

    @Test
    void tooFewArgumentsFailTheLaunch() {
        LaunchFailure failure = assertThrows(LaunchFailure.class,
                () -> KESTRO.accept(new String[] {"false", RECORDER, "", ""}));
        assertEquals("Cannot start the application: the launcher passed 4 arguments, at least 5 expected",
                failure.toString());
        assertThrows(LaunchFailure.class, () -> KESTRO.accept(null));
    }

    @Test
    void theApplicationsExceptionsLeaveUnwrapped() {
        for (String kind : new String[] {"checked", "unchecked", "error"}) {
            Throwable thrown = assertThrows(Throwable.class,
                    () -> KESTRO.accept(launcherArgs(Thrower.class.getName(), "app.exe", kind)));
            assertSame(Thrower.thrown, thrown, kind);
        }
        assertTrue(Thrower.thrown instanceof Error);
        Throwable checked = assertThrows(Throwable.class,
                () -> VELMORA.accept(launcherArgs(Thrower.class.getName(), "app.exe", "checked")));
        assertTrue(checked instanceof IOException);
    }

    @Test
    void aMissingClassOrMainIsOneLineNamingIt() {
        String prefix = "com.kestro.runtime.testapps.NotMains$";
        String[][] cases = {
            {"com.example.Missing", "main class \"com.example.Missing\" not found"},
            {"", "main class \"\" not found"},
            {prefix + "NoMain", "class \"" + prefix + "NoMain\" has no method public static void main(String[])"},
            {prefix + "InstanceMain", "class \"" + prefix + "InstanceMain\" has no method"},
            {prefix + "IntMain", "class \"" + prefix + "IntMain\" has no method"},
            {prefix + "PrivateMain", "class \"" + prefix + "PrivateMain\" has no method"},
        };
        for (String[] c : cases) {
            LaunchFailure failure = assertThrows(LaunchFailure.class,
                    () -> KESTRO.accept(launcherArgs(c[0], "app.exe")));
            assertTrue(failure.toString().startsWith("Cannot start the application: " + c[1]), failure.toString());
            assertEquals(0, failure.getStackTrace().length);
        }
    }

    @Test
    void aMissingClassInARealVmEndsItWithOneLineOnStandardError() throws Exception {
        JavaChild.Result result = JavaChild.kestro().launch("com.example.Missing", "a");
        assertEquals(1, result.exitCode());
        assertEquals("Exception in thread \"main\" Cannot start the application: main class "
                + "\"com.example.Missing\" not found", result.err().strip());
    }

    static String[] launcherArgs(String mainClass, String executable, String... program) {
        String[] args = new String[6 + program.length];
        args[0] = "false";
        args[1] = mainClass;
        args[2] = "";
        args[3] = "";
        args[4] = "false";
        args[5] = executable;
        System.arraycopy(program, 0, args, 6, program.length);
        return args;
    }
}
