package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertSame;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.kestro.runtime.testapps.Printer;
import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import org.junit.jupiter.api.AfterEach;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

class StandardStreamsTest {
    private static final String PRINTER = Printer.class.getName();

    @TempDir
    Path dir;

    private PrintStream originalOut;
    private PrintStream originalErr;

    @BeforeEach
    void keepStreams() {
        originalOut = System.out;
        originalErr = System.err;
    }

    @AfterEach
    void restoreStreams() {
        if (System.out != originalOut) {
            System.out.close();
        }
        if (System.err != originalErr) {
            System.err.close();
        }
        System.setOut(originalOut);
        System.setErr(originalErr);
        System.clearProperty("kestro.moduleName");
        System.clearProperty("kestro.test.log");
    }

    @Test
    void eachStreamGoesToItsFileFreshOrAppendedAsTheFlagSays() throws Exception {
        Path err = dir.resolve("error.log");
        Path out = dir.resolve("output.log");
        Files.writeString(err, "old error ");
        Files.writeString(out, "old output ");

        launch(err.toString(), out.toString(), "false", "to out", "to err");
        assertEquals("to out", Files.readString(out));
        assertEquals("to err", Files.readString(err));

        restoreStreams();
        launch(err.toString(), out.toString(), "true", " more out", " more err");
        assertEquals("to out more out", Files.readString(out));
        assertEquals("to err more err", Files.readString(err));
    }

    @Test
    void bothStreamsIntoOneFileKeepEverything() throws Exception {
        Path log = dir.resolve("app.log");
        Files.writeString(log, "a long line from the previous run\n");
        launch(log.toString(), dir.resolve(".").resolve("app.log").toString(), "false", "out;", "err;");
        assertSame(System.out, System.err);
        assertEquals("out;err;", Files.readString(log));
    }

    @Test
    void anEmptyValueLeavesTheStreamAlone() throws Exception {
        Path out = dir.resolve("output.log");
        launch("", out.toString(), "false", "x", "");
        assertSame(originalErr, System.err);
        assertEquals("x", Files.readString(out));
    }

    @Test
    void aDollarValueNamesAPropertyHoldingThePath() throws Exception {
        // A relative path is taken from the executable's directory; missing directories are made.
        System.setProperty("kestro.moduleName", dir.resolve("app").resolve("app.exe").toString());
        System.setProperty("kestro.test.log", "logs/out.log");
        launch("$kestro.test.unset", "$kestro.test.log", "false", "x", "");
        assertEquals("x", Files.readString(dir.resolve("app/logs/out.log")));
        assertSame(originalErr, System.err, "an unset name redirects nothing");

        restoreStreams();
        launch("$", "", "false", "", "");
        assertSame(originalErr, System.err);
    }

    @Test
    void aFileThatCannotBeOpenedIsReportedAndTheApplicationRuns() throws Exception {
        ByteArrayOutputStream captured = new ByteArrayOutputStream();
        PrintStream capture = new PrintStream(captured, true, StandardCharsets.UTF_8);
        System.setErr(capture);
        Path out = dir.resolve("output.log");
        // The error log names an existing directory.
        launch(dir.toString(), out.toString(), "false", "still runs", "to err");
        assertSame(capture, System.err);
        assertEquals("still runs", Files.readString(out));
        String report = captured.toString(StandardCharsets.UTF_8);
        assertTrue(report.startsWith("Cannot redirect standard error to " + dir + ": "), report);
        assertTrue(report.endsWith("to err"), report);
    }

    @Test
    void aDollarValueFallsBackToTheEnvironment() throws Exception {
        Path errFromEnv = dir.resolve("err-env.log");
        Path outFromProperty = dir.resolve("out-property.log");
        JavaChild child = JavaChild.kestro()
                .env("KESTRO_TEST_ERR", errFromEnv.toString())
                .env("KESTRO_TEST_OUT", dir.resolve("out-env.log").toString())
                .property("KESTRO_TEST_OUT", outFromProperty.toString());
        JavaChild.Result result = child.run("com.kestro.runtime.WinLauncher", "false", PRINTER,
                "$KESTRO_TEST_ERR", "$KESTRO_TEST_OUT", "false", "app.exe", "x", "y");
        assertEquals(0, result.exitCode(), result.err());
        assertEquals("y", Files.readString(errFromEnv));
        assertEquals("x", Files.readString(outFromProperty));
        assertTrue(Files.notExists(dir.resolve("out-env.log")));
    }

    private static void launch(String errorLog, String outputLog, String append, String toOut, String toErr) {
        com.kestro.runtime.WinLauncher.main(new String[] {
            "false", PRINTER, errorLog, outputLog, append, "app.exe", toOut, toErr});
    }
}
