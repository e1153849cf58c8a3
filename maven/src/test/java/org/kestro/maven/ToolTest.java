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

    // The tool's warnings become Maven warnings; the tool names the user's file and line itself.
    @Test
    void sortsTheToolsMessages() {
        String err = "/p/app.toml:2: warning: application.type 3 has no meaning of its own\r\n"
                + "/p/app.toml:3: files[1].source: included file not found\n\n/p/d.toml: the main class is missing\n";
        ToolRun.Messages messages = ToolRun.messages(err);
        assertEquals(Arrays.asList("/p/app.toml:2: warning: application.type 3 has no meaning of its own"),
                messages.warnings);
        assertEquals(Arrays.asList("/p/app.toml:3: files[1].source: included file not found",
                "/p/d.toml: the main class is missing"), messages.others);
    }
}
