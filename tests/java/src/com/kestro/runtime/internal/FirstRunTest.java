package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.kestro.runtime.testapps.FirstRunProbe;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import org.junit.jupiter.api.AfterEach;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

class FirstRunTest {
    @TempDir
    Path root;

    @AfterEach
    void clearProperties() {
        System.clearProperty("kestro.moduleName");
        System.clearProperty("kestro.firstRun");
    }

    @Test
    void theApplicationDirectoryComesFromTheRuntimeJarElseTheExecutable() {
        Path app = Paths.get("/opt/app");
        String exe = app.resolve("bin/app.exe").toString();
        assertEquals(app, FirstRunMarker.applicationDirectory(app.resolve(".velmora/vlmruntime.jar"), exe));
        assertEquals(app, FirstRunMarker.applicationDirectory(app.resolve(".VELMORA/vlmruntime.jar"), exe));
        assertEquals(app.resolve("bin"), FirstRunMarker.applicationDirectory(app.resolve("lib/vlmruntime.jar"), exe));
        assertEquals(app.resolve("bin"), FirstRunMarker.applicationDirectory(null, exe));
        assertNull(FirstRunMarker.applicationDirectory(null, ""));
        assertNull(FirstRunMarker.applicationDirectory(Paths.get("vlmruntime.jar"), null));
    }

    @Test
    void theFirstStartRemovesTheMarkerAndTellsTheApplication() throws Exception {
        // The velmora layout: the runtime jar in the application's .velmora directory, the
        // executable in a directory of its own.
        Path app = root.resolve("app");
        Path velmora = Files.createDirectories(app.resolve(".velmora"));
        Path jar = Files.copy(JavaChild.VELMORA_JAR, velmora.resolve("vlmruntime.jar"));
        Path marker = Files.writeString(velmora.resolve("firstrun"), "");
        JavaChild child = new JavaChild(jar, JavaChild.TEST_JAR)
                .property("kestro.moduleName", app.resolve("bin/app.exe").toString());

        JavaChild.Result first = child.run(FirstRunProbe.class.getName());
        assertEquals("true true", first.out(), first.err());
        assertTrue(Files.notExists(marker));

        JavaChild.Result second = child.run(FirstRunProbe.class.getName());
        assertEquals("true null", second.out(), second.err());
    }

    @Test
    void aMarkerDirectoryIsRemovedWithItsContents() throws Exception {
        // No runtime jar in a .velmora directory here: the executable's directory counts.
        Path marker = Files.createDirectories(root.resolve(".velmora/firstrun/sub"));
        Files.writeString(marker.resolve("x"), "x");
        System.setProperty("kestro.moduleName", root.resolve("app.exe").toString());

        assertTrue(FirstRunMarker.consume(FirstRunTest.class));
        assertTrue(Files.notExists(root.resolve(".velmora/firstrun")));
        assertTrue(Files.exists(root.resolve(".velmora")));
        assertEquals("true", System.getProperty("kestro.firstRun"));
    }
}
