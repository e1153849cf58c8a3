package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Files;
import java.nio.file.Path;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

class TempDirKeepTest {
    @TempDir
    Path root;

    // The library removes nothing: the launcher's next start does. It marks the directory
    // to be kept when the application asks, at start (a VM option) or at run time.
    @Test
    void marksTheDirectoryWhenTheApplicationKeepsItAndRemovesNothing() throws Exception {
        Path dir = Files.createDirectories(root.resolve("kst1A2B.tmp_dir1700000000/lib")).getParent();
        Files.writeString(dir.resolve("lib/app.jar"), "jar");
        Path mine = Files.createDirectories(root.resolve("my data"));
        Object[][] cases = {
            {dir, "return", "", 0, false}, {dir, "exit", "", 3, false}, {dir, "return", "true", 0, true},
            {dir, "exit", "true", 3, true}, {dir, "keep", "", 0, true}, {mine, "keep", "", 0, false},
        };
        for (Object[] c : cases) {
            Path tempDir = (Path) c[0];
            Files.deleteIfExists(tempDir.resolve(TempDirKeep.MARK));
            int exitCode = JavaChild.kestro().property("kestro.tempDir", tempDir).property("kestro.keepTempDir", c[2])
                    .launch("com.kestro.runtime.testapps.Apps$TempDirUser", (String) c[1]).exitCode();
            String name = c[1] + " " + c[2];
            assertEquals(c[3], exitCode, name);
            assertEquals(c[4], Files.exists(tempDir.resolve(TempDirKeep.MARK)), name);
            assertTrue(Files.exists(dir.resolve("lib/app.jar")), name);
        }
    }
}
