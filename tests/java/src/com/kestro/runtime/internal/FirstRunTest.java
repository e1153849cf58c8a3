package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

class FirstRunTest {
    @TempDir
    Path root;

    @Test
    void theApplicationDirectoryComesFromTheRuntimeJarElseTheExecutable() {
        Path app = Paths.get("/opt/app");
        String exe = app.resolve("bin/app.exe").toString();
        assertEquals(app, FirstRunMarker.applicationDirectory(app.resolve(".Velmora/vlmruntime.jar"), exe));
        assertEquals(app.resolve("bin"), FirstRunMarker.applicationDirectory(app.resolve("lib/vlmruntime.jar"), exe));
        assertNull(FirstRunMarker.applicationDirectory(null, ""));
    }

    @Test
    void theFirstStartRemovesTheMarkerAndTellsTheApplication() throws Exception {
        // The velmora layout: the runtime jar in the application's .velmora directory, the
        // executable elsewhere.
        Path velmora = Files.createDirectories(root.resolve(".velmora"));
        Path jar = Files.copy(JavaChild.VELMORA_JAR, velmora.resolve("vlmruntime.jar"));
        Path marker = Files.createDirectories(velmora.resolve("firstrun/sub"));
        JavaChild child = new JavaChild(jar, JavaChild.TEST_JAR).property("kestro.moduleName", root.resolve("bin/app.exe"));
        String probe = "com.kestro.runtime.testapps.Apps$FirstRunProbe";

        assertEquals("true true", child.run(probe).out());
        assertTrue(Files.notExists(marker.getParent()));
        assertEquals("true null", child.run(probe).out());
    }
}
