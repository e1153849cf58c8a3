package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Files;
import java.nio.file.Path;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

class StandardStreamsTest {
    private static final String PRINTER = "com.kestro.runtime.testapps.Apps$Printer";

    @TempDir
    Path dir;

    @Test
    void filesAreAppendedToOrStartEmptyAndOneFileForBothKeepsEverything() throws Exception {
        Path err = Files.writeString(dir.resolve("error.log"), "old;");
        Path out = dir.resolve("logs/output.log");
        JavaChild.kestro().launchWith(PRINTER, err.toString(), out.toString(), "true");
        assertEquals("old;err;", Files.readString(err));
        assertEquals("out;", Files.readString(out));

        JavaChild.kestro().launchWith(PRINTER, err.toString(), dir.resolve("./error.log").toString(), "false");
        assertEquals("out;err;", Files.readString(err));
    }

    @Test
    void aDollarValueNamesAPropertyElseAnEnvironmentVariable() throws Exception {
        // A relative path is taken from the executable's directory.
        JavaChild.Result result = JavaChild.kestro()
                .property("kestro.moduleName", dir.resolve("app/app.exe"))
                .property("app.err", "logs/err.log")
                .env("APP_OUT", dir.resolve("out.log").toString())
                .launchWith(PRINTER, "$app.err", "$APP_OUT", "false");
        assertEquals(0, result.exitCode());
        assertEquals("err;", Files.readString(dir.resolve("app/logs/err.log")));
        assertEquals("out;", Files.readString(dir.resolve("out.log")));
    }

    @Test
    void aFileThatCannotBeOpenedOrANameThatIsNotSetLeavesTheStreamAlone() throws Exception {
        JavaChild.Result result = JavaChild.kestro().launchWith(PRINTER, dir.toString(), "$APP_UNSET", "false");
        assertEquals(0, result.exitCode());
        assertEquals("out;", result.out());
        assertTrue(result.err().matches("Cannot redirect standard error to \\Q" + dir + "\\E: [^\n]+\nerr;"),
                result.err());
    }
}
