package org.kestro.maven;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.util.Arrays;

import org.junit.jupiter.api.Test;

class ToolTest {
    @Test
    void choosesTheToolForTheMachine() {
        String[][] cases = {
            {"Linux", "amd64", Platform.LINUX}, {"Linux", "x86_64", Platform.LINUX},
            {"Windows 11", "amd64", Platform.WINDOWS}, {"Windows Server 2022", "AMD64", Platform.WINDOWS},
            {"Linux", "aarch64", null}, {"Mac OS X", "x86_64", null}, {"Windows 11", "aarch64", null},
            {"FreeBSD", "amd64", null},
        };
        for (String[] c : cases) {
            if (c[2] != null) {
                assertEquals(c[2], Platform.of(c[0], c[1]), c[0] + " " + c[1]);
            } else {
                IllegalStateException e = assertThrows(IllegalStateException.class, () -> Platform.of(c[0], c[1]));
                assertEquals("the kestro tool inside this plugin runs on Linux x86_64 and Windows x86_64, not on "
                        + c[0] + " " + c[1] + ". Build kestro for this machine and name the directory that holds it"
                        + " (with launcher.exe and the runtime jars beside it) in the plugin's <kestroHome>"
                        + " (or -Dkestro.home)", e.getMessage());
            }
        }
    }

    // The tool's warnings become Maven warnings; a report about a line the user wrote names
    // the user's file and line, one about a line the plugin added stays as it is.
    @Test
    void sortsAndPlacesTheToolsMessages() {
        String written = "/p/target/kestro/app.toml";
        int[] origins = {0, 4, 0, 9};
        String err = written + ":2: warning: application.type 3 has no meaning of its own\r\n"
                + written + ":3: files[1].source: included file not found\n"
                + written + ":4:x\n" + written + ":44: beyond\n" + written + ": the main class is missing\n"
                + "/other.toml:2: elsewhere\n\n";
        ToolRun.Messages messages = ToolRun.messages(err, written, origins, "src/app.toml");
        assertEquals(Arrays.asList("src/app.toml:4: warning: application.type 3 has no meaning of its own"),
                messages.warnings);
        assertEquals(Arrays.asList(written + ":3: files[1].source: included file not found", "src/app.toml:9:x",
                written + ":44: beyond", written + ": the main class is missing", "/other.toml:2: elsewhere"),
                messages.others);
    }
}
